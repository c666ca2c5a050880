// The shopping trip: the running total in the status bar, the lists as text on the clipboard, the printout's
// tick boxes and shop groups, and the search in the Product catalogue.
#include "MainWindow.h"

#include "PrintOptionsBox.h"
#include "ProductSearch.h"
#include "SidePanel.h"
#include "lists/ListModel.h"
#include "lists/ListView.h"
#include "print/ShoppingText.h"
#include "print/ShoppingTotal.h"
#include "settings/WindowStateStore.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace korbana {

namespace {

// A shortcut that acts only while the widget itself has the focus, so an open edit box keeps its own Ctrl+C.
QAction* widgetShortcut(QWidget* widget, const QKeySequence& keys, const QString& text, const char* name)
{
    auto* action = new QAction(text, widget);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    widget->addAction(action);
    return action;
}

void copyText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

} // namespace

void MainWindow::buildShoppingTrip()
{
    m_shoppingTotal = new ShoppingTotal(*shopping(), this);
    m_shoppingTotalLabel = new QLabel(statusBar());
    m_shoppingTotalLabel->setObjectName(QStringLiteral("shoppingTotalLabel"));
    statusBar()->addPermanentWidget(m_shoppingTotalLabel);
    // Not through the window: an edit box closing while the window goes still changes the list.
    const auto showTotal = [label = m_shoppingTotalLabel, total = m_shoppingTotal] { label->setText(total->text()); };
    connect(m_shoppingTotal, &ShoppingTotal::changed, m_shoppingTotalLabel, showTotal);
    showTotal();

    QAction* copyList = widgetShortcut(
        m_shoppingView, QKeySequence::Copy, QStringLiteral("Als Text kopieren"), "copyShoppingListAction");
    connect(copyList, &QAction::triggered, this, &MainWindow::copyShoppingListAsText);
    m_shoppingView->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(widgetShortcut(m_storesView, QKeySequence::Copy, QStringLiteral("Kopieren"), "copyStoreAction"),
        &QAction::triggered, this, &MainWindow::copySelectedStore);
    connect(widgetShortcut(m_productsView, QKeySequence::Copy, QStringLiteral("Kopieren"), "copyProductAction"),
        &QAction::triggered, this, &MainWindow::copySelectedProduct);

    buildProductSearch();
    // Below the margins on the settings page, at the font button's left edge.
    m_printOptions = new PrintOptionsBox(m_settingsPage->body());
    m_printOptions->move(216, 176 - 33);
    m_printOptions->adjustSize();
    m_printOptions->keepIn(*m_windowState);
}

QString MainWindow::shoppingTotalText() const
{
    return m_shoppingTotal->text();
}

void MainWindow::copyShoppingListAsText()
{
    m_shoppingView->commitEdit();
    copyText(korbana::shoppingListText(*shopping()));
}

void MainWindow::copySelectedStore()
{
    if (const int row = m_storesView->selectedRow(); row >= 0)
        copyText(korbana::rowText(*stores(), row));
}

void MainWindow::copySelectedProduct()
{
    if (const int row = m_productsView->selectedRow(); row >= 0)
        copyText(korbana::rowText(*products(), row));
}

void MainWindow::buildProductSearch()
{
    m_productSearch = new ProductSearch(products(), m_productsView, m_productsPanel);
    // Tab reaches it just before the list it filters.
    setTabOrder(m_currencyEdit, m_productSearch);
    setTabOrder(m_productSearch, m_productsView);
    // Between the button strip and the list.
    auto* column = static_cast<QVBoxLayout*>(m_productsPanel->layout());
    column->insertWidget(column->indexOf(m_productsView), m_productSearch);

    auto* find = new QAction(this);
    find->setObjectName(QStringLiteral("findProductAction"));
    find->setShortcut(QKeySequence::Find);
    addAction(find);
    connect(find, &QAction::triggered, this, [this] {
        m_pages->setCurrentIndex(0);
        m_productSearch->focusSearch();
    });
}

PrintOptions MainWindow::printOptions() const
{
    return m_printOptions->options();
}

} // namespace korbana
