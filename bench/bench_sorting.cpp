#include "lists/ListModel.h"
#include "lists/ListSort.h"
#include "lists/ListTexts.h"

#include <QLocale>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

using namespace korbana;

namespace {

// A Shopping list of n random entries, as the program makes them.
void fillShopping(ListModel& model, int n)
{
    QRandomGenerator random(1);
    const QStringList names { "Milch", "brot", "Äpfel", "Käse", "butter", "Zucker", "Mehl", "eier" };
    const QStringList shops { "Markt A", "markt b", "Kiosk", "Bäcker" };
    std::vector<Entry> entries(static_cast<size_t>(n));
    for (Entry& e : entries) {
        e.caption = QString::number(random.bounded(1, 20));
        e.subItems[0] = names[random.bounded(names.size())] + QString::number(random.bounded(1000));
        e.subItems[1] = shops[random.bounded(shops.size())];
        e.subItems[2] = korbana::priceText(random.bounded(100000) / 100.0);
    }
    model.appendAll(std::move(entries));
}

void sortShopping(benchmark::State& state)
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    ListModel model(
        { QStringLiteral("Menge"), QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") });
    fillShopping(model, static_cast<int>(state.range(0)));
    const int column = static_cast<int>(state.range(1));
    for (auto _ : state)
        benchmark::DoNotOptimize(korbana::sortOrder(korbana::ListKind::Shopping, column, false, model));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same sort comparing pair by pair, reading and folding the texts at every comparison.
void sortShoppingPairwise(benchmark::State& state)
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    ListModel model(
        { QStringLiteral("Menge"), QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") });
    fillShopping(model, static_cast<int>(state.range(0)));
    const int column = static_cast<int>(state.range(1));
    for (auto _ : state) {
        std::vector<int> order(static_cast<size_t>(model.count()));
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
        korbana::mergeSort(order, [&](int a, int b) {
            return korbana::compareEntries(
                korbana::ListKind::Shopping, column, false, model.entryAt(a), model.entryAt(b));
        });
        benchmark::DoNotOptimize(order);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(sortShoppingPairwise)->ArgsProduct({ { 1000, 100000 }, { 0, 1, 3 } })->Unit(benchmark::kMillisecond);

// Per column: 0 quantity, 1 name with shop tie-break, 3 price.
BENCHMARK(sortShopping)->ArgsProduct({ { 1000, 100000, 1000000 }, { 0, 1, 3 } })->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
