// The shopping trip at size: one keystroke in the catalogue's search, and the running total after one change
// of the Shopping list, each beside the plainest way of doing the same work.
#include "BenchFixture.h"

#include "lists/ListTexts.h"
#include "lists/ProductFilter.h"
#include "print/ShoppingPrintout.h"
#include "print/ShoppingTotal.h"

#include <map>
#include <memory>

using namespace korbana;

namespace {

// n products and n shopping entries (the shared fixture splits its entries between the lists).
sample::Lists& lists(int n)
{
    static std::map<int, std::unique_ptr<sample::Lists>> made;
    auto& slot = made[n];
    if (!slot) {
        slot = std::make_unique<sample::Lists>();
        bench::fillLists(slot->set(), { 400, n, n });
    }
    return *slot;
}

const QString kTyped[] = { QStringLiteral("Müs"), QStringLiteral("Müsl") };

// A keystroke: the search text grows or shrinks by one letter and the shown rows are worked out.
void searchKorbana(benchmark::State& state)
{
    ListModel& products = *lists(static_cast<int>(state.range(0))).products;
    ProductFilter filter;
    filter.setSourceModel(&products);
    // The first key of a search builds the index; later keys reuse it (measured apart as search-first).
    filter.setSearchText(QStringLiteral("M"));
    int i = 0;
    for (auto _ : state) {
        filter.setSearchText(kTyped[i++ % 2]);
        benchmark::DoNotOptimize(filter.rowCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The first key of a search after the list changed: the index is made anew.
void searchFirstKorbana(benchmark::State& state)
{
    ListModel& products = *lists(static_cast<int>(state.range(0))).products;
    ProductFilter filter;
    filter.setSourceModel(&products);
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        filter.setSearchText(QString());
        products.setCaption(0, products.caption(0));
        state.ResumeTiming();
        filter.setSearchText(kTyped[i++ % 2]);
        benchmark::DoNotOptimize(filter.rowCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same pass with Qt's case-insensitive search and no umlaut spellings, no proxy and no view mapping.
void searchBaseline(benchmark::State& state)
{
    const ListModel& products = *lists(static_cast<int>(state.range(0))).products;
    int i = 0;
    for (auto _ : state) {
        const QString& needle = kTyped[i++ % 2];
        int shown = 0;
        for (int row = 0; row < products.count(); ++row) {
            const Entry& entry = products.entryAt(row);
            shown += entry.caption.contains(needle, Qt::CaseInsensitive)
                || entry.subItems[0].contains(needle, Qt::CaseInsensitive);
        }
        benchmark::DoNotOptimize(shown);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// One entry added and removed again; the status bar's total follows both changes.
void totalKorbana(benchmark::State& state)
{
    ListModel& shopping = *lists(static_cast<int>(state.range(0))).shopping;
    ShoppingTotal total(shopping);
    for (auto _ : state) {
        shopping.append(
            QStringLiteral("2"), { QStringLiteral("Milch"), QStringLiteral("Markt"), QStringLiteral("0,99 EUR") });
        benchmark::DoNotOptimize(total.text());
        shopping.deleteAt(shopping.count() - 1);
        benchmark::DoNotOptimize(total.text());
    }
}

// The same two changes with the total worked out afresh each time, as the printout reads the list.
void totalBaseline(benchmark::State& state)
{
    ListModel& shopping = *lists(static_cast<int>(state.range(0))).shopping;
    const QString decimalSep = korbana::decimalSeparator();
    const auto grandTotal = [&] {
        double sum = 0;
        for (int row = 0; row < shopping.count(); ++row) {
            const Entry& entry = shopping.entryAt(row);
            sum += ShoppingPrintout::readAmounts(entry.caption, entry.subItems[2], decimalSep).lineTotal;
        }
        return sum;
    };
    for (auto _ : state) {
        shopping.append(
            QStringLiteral("2"), { QStringLiteral("Milch"), QStringLiteral("Markt"), QStringLiteral("0,99 EUR") });
        benchmark::DoNotOptimize(grandTotal());
        shopping.deleteAt(shopping.count() - 1);
        benchmark::DoNotOptimize(grandTotal());
    }
}

const bool registered = [] {
    bench::registerSizes("search", "korbana", searchKorbana);
    bench::registerSizes("search", "baseline", searchBaseline);
    bench::registerSizes("search-first", "korbana", searchFirstKorbana);
    bench::registerSizes("search-first", "baseline", searchBaseline);
    bench::registerSizes("total", "korbana", totalKorbana);
    bench::registerSizes("total", "baseline", totalBaseline);
    return true;
}();

} // namespace
