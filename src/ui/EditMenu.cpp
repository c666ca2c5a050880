#include "EditMenu.h"

#include <QAction>
#include <QUndoStack>

namespace korbana {

namespace {

// "&Rückgängig: Liste löschen", or "&Rückgängig" with nothing to undo.
QString stepText(const QString& command, const QString& step)
{
    return step.isEmpty() ? command : command + QStringLiteral(": ") + step;
}

QAction* namedAction(const QString& text, const char* name, QObject* parent)
{
    auto* action = new QAction(text, parent);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

EditMenu::EditMenu(QUndoStack* history, QWidget* parent)
    : QMenu(QStringLiteral("&Bearbeiten"), parent)
    , m_undo(namedAction(QStringLiteral("&Rückgängig"), "undoAction", this))
    , m_redo(namedAction(QStringLiteral("&Wiederholen"), "redoAction", this))
    , m_cheapestShops(namedAction(QStringLiteral("&Günstigste Läden wählen"), "cheapestShopsAction", this))
    , m_priceComparison(namedAction(QStringLiteral("&Preisvergleich..."), "priceComparisonAction", this))
{
    setObjectName(QStringLiteral("editMenu"));
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    // Both keys that programs on either platform use for it.
    m_redo->setShortcuts({ QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y) });

    const auto follow = [this, history] {
        m_undo->setEnabled(history->canUndo());
        m_undo->setText(stepText(QStringLiteral("&Rückgängig"), history->undoText()));
        m_redo->setEnabled(history->canRedo());
        m_redo->setText(stepText(QStringLiteral("&Wiederholen"), history->redoText()));
    };
    connect(history, &QUndoStack::indexChanged, this, follow);
    connect(history, &QUndoStack::cleanChanged, this, follow);
    follow();

    addActions({ m_undo, m_redo });
    addSeparator();
    addActions({ m_cheapestShops, m_priceComparison });
}

} // namespace korbana
