// The shopping trip in the window: copying the lists as text, the search in the Product catalogue, the printout's
// tick boxes and shop groups; the running total is the status bar's.
#include "MainWindow.h"

#include "ListCopying.h"
#include "PrintOptionsBox.h"
#include "ProductSearch.h"
#include "SidePanel.h"
#include "StatusBar.h"
#include "lists/ListView.h"
#include "settings/WindowStateStore.h"

#include <QAction>
#include <QTabWidget>
#include <QVBoxLayout>

namespace korbana {

void MainWindow::buildShoppingTrip()
{
    offerCopying(document(), m_storesView, m_productsView, m_shoppingView);

    buildProductSearch();
    // Below the margins on the settings page, at the font button's left edge.
    m_printOptions = new PrintOptionsBox(m_settingsPage->body());
    m_printOptions->move(216, 176 - 33);
    m_printOptions->adjustSize();
    m_printOptions->keepIn(*m_windowState);
}

QString MainWindow::shoppingTotalText() const
{
    return m_statusBar->totalText();
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
    // Enter takes the first match: the Shopping list's Insert then puts it on the list.
    connect(m_productSearch, &ProductSearch::matchTaken, m_shoppingView,
        [this] { m_shoppingView->setFocus(Qt::ShortcutFocusReason); });

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
