// Prices across shops: the Shopping list's entries moved to the shops that sell their products cheapest, and the
// comparison of the shops.
#include "MainWindow.h"
#include "StatusBar.h"

#include "PriceComparisonDialog.h"
#include "lists/ListModel.h"
#include "lists/ListTexts.h"
#include "lists/PriceHints.h"

namespace korbana {

void MainWindow::chooseCheapestShops()
{
    // A quantity still being typed counts in the saving.
    m_document->collectEdits();
    Reassignment cheapest = m_priceHints->index().cheapestShops(*shopping());
    if (cheapest.moves.empty()) {
        m_statusBar->showHint(QStringLiteral("Alle Einträge stehen schon beim günstigsten Laden."));
        return;
    }
    const auto moved = qsizetype(cheapest.moves.size());
    m_document->moveToShops(std::move(cheapest.moves));
    m_statusBar->showHint(
        QStringLiteral("%1 %2 umgestellt, %3 gespart")
            .arg(moved)
            .arg(moved == 1 ? QStringLiteral("Eintrag") : QStringLiteral("Einträge"), priceText(cheapest.saving)));
}

void MainWindow::comparePrices()
{
    m_document->collectEdits();
    PriceComparisonDialog dialog(m_priceHints->index().compare(*shopping()), shopping()->count(), this);
    m_dialogs.exec(&dialog);
}

} // namespace korbana
