// The weekly routine in the window: ticking off in the shop, the walk through it, staples.
#include "EditMenu.h"
#include "MainWindow.h"
#include "StatusBar.h"

#include "document/ListDocument.h"
#include "document/QuickAdd.h"
#include "lists/ListTexts.h"
#include "lists/ListView.h"

#include <QAction>
#include <QCompleter>
#include <QLineEdit>
#include <QStringListModel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace korbana {

namespace {

// An action of one list: its key works while the list has the focus, and its context menu offers it.
QAction* listAction(const QString& text, const char* name, const QKeySequence& key, ListView* view)
{
    auto* action = new QAction(text, view);
    action->setObjectName(QLatin1String(name));
    if (!key.isEmpty()) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    view->addAction(action);
    return action;
}

} // namespace

void MainWindow::buildRoutine()
{
    // Space in the Shopping list ticks the selected entry; a click on its tick box does the same.
    auto* tick = listAction(QStringLiteral("Abhaken"), "tickAction", QKeySequence(Qt::Key_Space), m_shoppingView);
    connect(tick, &QAction::triggered, this, &MainWindow::toggleTick);
    auto* removeTicked = listAction(QStringLiteral("&Erledigte entfernen"), "removeTickedAction", {}, m_shoppingView);
    connect(removeTicked, &QAction::triggered, this, &MainWindow::removeTicked);
    const auto follow = [this, removeTicked] { removeTicked->setEnabled(m_document->tickedCount() > 0); };
    connect(m_document.get(), &ListDocument::ticksChanged, removeTicked, follow);
    follow();

    m_productsView->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* up = listAction(
        QStringLiteral("Im Laufweg nach oben"), "walkUpAction", QKeySequence(Qt::ALT | Qt::Key_Up), m_productsView);
    connect(up, &QAction::triggered, this, &MainWindow::moveUpInWalk);
    auto* down = listAction(QStringLiteral("Im Laufweg nach unten"), "walkDownAction",
        QKeySequence(Qt::ALT | Qt::Key_Down), m_productsView);
    connect(down, &QAction::triggered, this, &MainWindow::moveDownInWalk);
    auto* staple = listAction(
        QStringLiteral("Stammartikel"), "stapleAction", QKeySequence(Qt::CTRL | Qt::Key_M), m_productsView);
    connect(staple, &QAction::triggered, this, &MainWindow::toggleStaple);
    // Staples are drawn in bold: the catalogue shows a change of them at once.
    connect(m_document.get(), &ListDocument::extrasChanged, m_productsView->viewport(), qOverload<>(&QWidget::update));

    auto* orderByWalk = new QAction(QStringLiteral("Einkaufsliste nach &Laufweg ordnen"), this);
    orderByWalk->setObjectName(QStringLiteral("orderByWalkAction"));
    connect(orderByWalk, &QAction::triggered, this, &MainWindow::orderByWalk);
    auto* addStaples = new QAction(QStringLiteral("&Stammartikel eintragen"), this);
    addStaples->setObjectName(QStringLiteral("addStaplesAction"));
    connect(addStaples, &QAction::triggered, this, &MainWindow::addStaples);
    m_editMenu->addSeparator();
    m_editMenu->addActions({ addStaples, orderByWalk, removeTicked });

    buildQuickAdd();
}

void MainWindow::buildQuickAdd()
{
    m_quickAddEdit = new QLineEdit(m_shoppingView->parentWidget());
    m_quickAddEdit->setObjectName(QStringLiteral("quickAddEdit"));
    m_quickAddEdit->setPlaceholderText(QStringLiteral("Schnell eintragen (Strg+L): 2 Milch"));
    m_quickAddEdit->setAccessibleName(QStringLiteral("Schnell eintragen"));
    // Between the button strip and the list, as the search field stands above the catalogue.
    if (auto* column = qobject_cast<QVBoxLayout*>(m_shoppingView->parentWidget()->layout()))
        column->insertWidget(column->indexOf(m_shoppingView), m_quickAddEdit);
    setTabOrder(m_quickAddEdit, m_shoppingView);

    // The catalogue's names as one types, each after the typed quantity; the list is made by the document, so
    // the completer only shows it.
    auto* suggestions = new QStringListModel(this);
    auto* completer = new QCompleter(suggestions, m_quickAddEdit);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer->setMaxVisibleItems(12);
    m_quickAddEdit->setCompleter(completer);
    connect(m_quickAddEdit, &QLineEdit::textEdited, this, [this, suggestions, completer](const QString& text) {
        constexpr int kShown = 12;
        const QuickAdd::Line typed = QuickAdd::parse(text);
        const QString prefix = typed.quantityGiven ? typed.quantity + u' ' : QString();
        QStringList lines;
        for (const QString& name : m_document->quickAddSuggestions(text, kShown))
            lines.append(prefix + name);
        suggestions->setStringList(lines);
        if (!lines.isEmpty())
            completer->complete();
    });
    connect(m_quickAddEdit, &QLineEdit::returnPressed, this, &MainWindow::quickAdd);

    auto* focus = new QAction(this);
    focus->setObjectName(QStringLiteral("quickAddAction"));
    focus->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    addAction(focus);
    connect(focus, &QAction::triggered, this, &MainWindow::focusQuickAdd);
}

void MainWindow::focusQuickAdd()
{
    m_pages->setCurrentIndex(0);
    m_quickAddEdit->setFocus(Qt::ShortcutFocusReason);
    m_quickAddEdit->selectAll();
}

void MainWindow::quickAdd()
{
    const QString line = m_quickAddEdit->text();
    if (line.trimmed().isEmpty())
        return;
    commitEdits();
    const int store = m_storesView->selectedRow();
    const QString shop = store >= 0 ? stores()->caption(store) : QString();
    const ListDocument::QuickAddResult result = m_document->quickAdd(line, shop, priceText(m_priceEdit->value()));
    if (result == ListDocument::QuickAddResult::NeedsShop) {
        m_dialogs.error(this,
            QStringLiteral(
                "Dieses Produkt ist neu. Bitte wählen Sie den Laden aus, in den es eingetragen werden soll."),
            QStringLiteral("Kein Laden ausgewählt"));
        return;
    }
    if (result == ListDocument::QuickAddResult::Nothing)
        return;
    m_quickAddEdit->clear();
    m_statusBar->showStatusText();
    m_shoppingView->scrollToBottom();
}

void MainWindow::toggleTick()
{
    const int row = m_shoppingView->selectedRow();
    if (row < 0 || m_shoppingView->isEditing())
        return;
    m_document->setTicked(row, !m_document->isTicked(row));
}

void MainWindow::removeTicked()
{
    commitEdits();
    const int removed = m_document->removeTicked();
    m_statusBar->showStatusText();
    if (removed > 0)
        m_statusBar->showHint(QString::number(removed) + QStringLiteral(" erledigte Einträge entfernt"));
}

void MainWindow::moveUpInWalk()
{
    commitEdits();
    if (!m_document->moveInWalk(m_productsView->selectedRow(), -1))
        m_statusBar->showHint(QStringLiteral("Schon am Anfang des Laufwegs."));
}

void MainWindow::moveDownInWalk()
{
    commitEdits();
    if (!m_document->moveInWalk(m_productsView->selectedRow(), 1))
        m_statusBar->showHint(QStringLiteral("Schon am Ende des Laufwegs."));
}

void MainWindow::orderByWalk()
{
    commitEdits();
    m_document->orderShoppingByWalk();
}

void MainWindow::toggleStaple()
{
    const int row = m_productsView->selectedRow();
    if (row < 0) {
        m_statusBar->showHint(QStringLiteral("Bitte zuerst ein Produkt auswählen."));
        return;
    }
    commitEdits();
    if (!m_document->stapleQuantity(row).isEmpty()) {
        m_document->setStaple(row, QString());
        m_statusBar->showHint(products()->caption(row) + QStringLiteral(" ist kein Stammartikel mehr."));
        return;
    }
    // The quantity the product has on the Shopping list is its usual one.
    QString quantity = QStringLiteral("1");
    for (int entry = 0; entry < shopping()->count(); ++entry) {
        if (shopping()->subItem(entry, 0) == products()->caption(row)
            && shopping()->subItem(entry, 1) == products()->subItem(row, 0)) {
            quantity = shopping()->caption(entry);
            break;
        }
    }
    if (quantity.trimmed().isEmpty())
        quantity = QStringLiteral("1");
    m_document->setStaple(row, quantity);
    m_statusBar->showHint(products()->caption(row) + QStringLiteral(" ist Stammartikel (") + quantity + u')');
}

void MainWindow::addStaples()
{
    commitEdits();
    const int added = m_document->addStaples();
    m_statusBar->showStatusText();
    m_statusBar->showHint(added == 1 ? QStringLiteral("1 Stammartikel eingetragen")
                                     : QString::number(added) + QStringLiteral(" Stammartikel eingetragen"));
}

} // namespace korbana
