#include "MergeBar.h"

#include "document/ListDocument.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace korbana {

MergeBar::MergeBar(ListDocument* document, QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("mergeBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    // One line, never taller than a tool bar: the lists below keep their place as far as can be.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 0, 2, 0);
    layout->setSpacing(2);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("mergeBarText"));
    m_text->setForegroundRole(QPalette::ToolTipText);
    m_text->setWordWrap(false);
    m_text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    layout->addWidget(m_text, 1);
    const auto button = [this, layout](const QString& label, const QString& name) {
        auto* b = new QToolButton(this);
        b->setText(label);
        b->setObjectName(name);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        layout->addWidget(b);
        return b;
    };
    m_merge = button(QStringLiteral("Zusammenführen"), QStringLiteral("mergeButton"));
    m_show = button(QStringLiteral("Anzeigen"), QStringLiteral("showConflictsButton"));
    m_undo = button(QStringLiteral("Rückgängig"), QStringLiteral("undoReloadButton"));
    m_close = button(QStringLiteral("Später"), QStringLiteral("laterButton"));
    connect(m_merge, &QToolButton::clicked, this, &MergeBar::mergeRequested);
    connect(m_show, &QToolButton::clicked, this, &MergeBar::conflictsRequested);
    connect(m_undo, &QToolButton::clicked, this, [this] {
        hide();
        Q_EMIT undoRequested();
    });
    connect(m_close, &QToolButton::clicked, this, &QWidget::hide);
    hide();

    connect(document, &ListDocument::changedOnDiskWhileModified, this, &MergeBar::showChange);
    connect(document, &ListDocument::modifiedChanged, this, [this](bool modified) {
        if (!modified)
            hide();
    });
}

void MergeBar::showText(const QString& text, QToolButton* action, const QString& closeText)
{
    m_text->setText(text);
    m_text->setToolTip(QString());
    for (QToolButton* button : { m_merge, m_show, m_undo })
        button->setVisible(button == action);
    m_close->setText(closeText);
    show();
}

void MergeBar::showChange()
{
    showText(QStringLiteral("Die Liste wurde anderswo geändert."), m_merge, QStringLiteral("Später"));
}

void MergeBar::showConflicts(int count)
{
    const QString text = count == 1
        ? QStringLiteral("Zusammengeführt: 1 Eintrag auf beiden Seiten verschieden geändert.")
        : QStringLiteral("Zusammengeführt: %1 Einträge auf beiden Seiten verschieden geändert.").arg(count);
    showText(text, m_show, QStringLiteral("Schließen"));
    // The line may be cut short in a narrow window: the whole of it on the pointer.
    m_text->setToolTip(text
        + QStringLiteral(" Auf einer Seite gelöschte und auf der anderen geänderte Einträge zählen mit; "
                         "beide Fassungen stehen in der Liste."));
}

void MergeBar::showReloaded()
{
    showText(QStringLiteral("Von anderswo neu geladen"), m_undo, QStringLiteral("Schließen"));
}

void MergeBar::showUnreadable()
{
    showText(QStringLiteral("Die Liste wurde anderswo geändert, ist aber nicht vollständig lesbar; die Listen "
                            "bleiben, wie sie sind."),
        nullptr, QStringLiteral("Schließen"));
}

} // namespace korbana
