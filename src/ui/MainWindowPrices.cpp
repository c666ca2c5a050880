// Prices across shops: the Shopping list's entries moved to the shops that sell their products cheapest, and the
// comparison of the shops.
#include "MainWindow.h"

#include "PriceComparisonDialog.h"
#include "document/ListCommands.h"
#include "lists/ListModel.h"
#include "lists/ListTexts.h"
#include "lists/PriceHints.h"

#include <QAction>
#include <QMenu>

namespace korbana {

namespace {

// The Shopping list's sub-items: name, shop, price.
constexpr int kShopSubItem = 1;
constexpr int kPriceSubItem = 2;

} // namespace

void MainWindow::addPriceCommands(QMenu* editMenu)
{
    m_cheapestShopsAction = new QAction(QStringLiteral("&Günstigste Läden wählen"), this);
    m_cheapestShopsAction->setObjectName(QStringLiteral("cheapestShopsAction"));
    connect(m_cheapestShopsAction, &QAction::triggered, this, &MainWindow::chooseCheapestShops);
    m_priceComparisonAction = new QAction(QStringLiteral("&Preisvergleich..."), this);
    m_priceComparisonAction->setObjectName(QStringLiteral("priceComparisonAction"));
    connect(m_priceComparisonAction, &QAction::triggered, this, &MainWindow::comparePrices);
    editMenu->addSeparator();
    editMenu->addActions({ m_cheapestShopsAction, m_priceComparisonAction });
}

void MainWindow::chooseCheapestShops()
{
    // A quantity still being typed counts in the saving.
    commitEdits();
    Reassignment cheapest = m_priceHints->index().cheapestShops(*shopping());
    if (cheapest.moves.empty()) {
        showHint(QStringLiteral("Alle Einträge stehen schon beim günstigsten Laden."));
        return;
    }
    std::vector<SubItemTexts> rows;
    rows.reserve(cheapest.moves.size());
    for (ShopMove& move : cheapest.moves) {
        SubItemTexts& texts = rows.emplace_back();
        texts.row = move.row;
        texts.subItems[kShopSubItem] = std::move(move.shop);
        texts.subItems[kPriceSubItem] = std::move(move.priceText);
    }
    m_document->push(new SetSubItemsCommand(
        shopping(), kShopSubItem, kPriceSubItem, std::move(rows), StepNames::chooseCheapestShops()));
    const qsizetype moved = cheapest.moves.size();
    showHint(QStringLiteral("%1 %2 umgestellt, %3 gespart")
                 .arg(moved)
                 .arg(moved == 1 ? QStringLiteral("Eintrag") : QStringLiteral("Einträge"), priceText(cheapest.saving)));
}

void MainWindow::comparePrices()
{
    commitEdits();
    PriceComparisonDialog dialog(m_priceHints->index().compare(*shopping()), shopping()->count(), this);
    m_dialogs.exec(&dialog);
}

} // namespace korbana
