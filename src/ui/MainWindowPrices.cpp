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
    const auto moved = qsizetype(cheapest.moves.size());
    m_document->push(moveToShopsCommand(shopping(), *products(), std::move(cheapest.moves)));
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
