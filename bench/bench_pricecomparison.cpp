// The price comparison at a household's worst: 400 shops, 499,800 products in 1,250 groups of the same name,
// 499,800 shopping entries. Each case beside a baseline: one pass reading every entry's price, as the total does.
#include "document/ListCommands.h"
#include "lists/ListModel.h"
#include "lists/ListTexts.h"
#include "lists/PriceComparison.h"

#include <QFile>
#include <QLocale>
#include <QRandomGenerator>

#include "EveryPrice.h"

#include <benchmark/benchmark.h>

using namespace korbana;

namespace {

constexpr int kShops = 400;
constexpr int kGroups = 1'250;
constexpr int kProducts = 499'800;
constexpr int kEntries = 499'800;
// The rows a window shows at once: after a change, their markers are what must be right.
constexpr int kVisibleRows = 40;

struct Lists
{
    ListModel products { { QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") } };
    ListModel shopping { { QStringLiteral("Menge"), QStringLiteral("Name"), QStringLiteral("Laden"),
        QStringLiteral("Preis") } };
};

// The catalogue holds every product at nearly every shop; names differ in case and blanks as typed ones do.
Lists& lists()
{
    static Lists* made = [] {
        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        auto* l = new Lists;
        QRandomGenerator random(7);
        QStringList shops;
        for (int s = 0; s < kShops; ++s)
            shops << QStringLiteral("Laden %1").arg(s);
        QStringList names;
        QStringList otherSpellings;
        for (int g = 0; g < kGroups; ++g) {
            names << QStringLiteral("Produkt %1").arg(g);
            otherSpellings << QStringLiteral(" PRODUKT %1 ").arg(g);
        }
        std::vector<Entry> products(kProducts);
        for (int i = 0; i < kProducts; ++i) {
            Entry& e = products[size_t(i)];
            const int group = i % kGroups;
            e.caption = i % 7 == 0 ? otherSpellings[group] : names[group];
            e.subItems[0] = shops[(i / kGroups) % kShops];
            e.subItems[1] = korbana::priceText(random.bounded(50, 2000) / 100.0);
        }
        l->products.appendAll(std::move(products));
        std::vector<Entry> entries(kEntries);
        for (Entry& e : entries) {
            e.caption = QString::number(random.bounded(1, 6));
            e.subItems[0] = names[random.bounded(kGroups)];
            e.subItems[1] = shops[random.bounded(kShops)];
            e.subItems[2] = korbana::priceText(random.bounded(50, 2000) / 100.0);
        }
        l->shopping.appendAll(std::move(entries));
        return l;
    }();
    return *made;
}

const korbana::PriceIndex& builtIndex()
{
    static korbana::PriceIndex index = [] {
        korbana::PriceIndex i;
        i.rebuild(lists().products);
        return i;
    }();
    return index;
}

// After a change of the catalogue: the index made again and the markers of the rows in view worked out.
void markersAfterChange(benchmark::State& state)
{
    Lists& l = lists();
    korbana::PriceIndex index;
    int marked = 0;
    for (auto _ : state) {
        index.rebuild(l.products);
        for (int row = 0; row < kVisibleRows; ++row)
            marked += index.cheaperElsewhere(l.shopping.entryAt(row)).has_value();
    }
    benchmark::DoNotOptimize(marked);
    state.counters["groups"] = index.groupCount();
}

void cheapestShops(benchmark::State& state)
{
    const korbana::PriceIndex& index = builtIndex();
    size_t moves = 0;
    for (auto _ : state)
        moves = index.cheapestShops(lists().shopping).moves.size();
    state.counters["moves"] = double(moves);
}

// "Günstigste Läden wählen" whole: the moves found, made one step of the history and done. Undone untimed.
void chooseCheapestShopsStep(benchmark::State& state)
{
    const korbana::PriceIndex& index = builtIndex();
    ListModel& shopping = lists().shopping;
    for (auto _ : state) {
        std::unique_ptr<QUndoCommand> step(
            korbana::moveToShopsCommand(&shopping, lists().products, index.cheapestShops(shopping).moves));
        step->redo();
        state.PauseTiming();
        step->undo();
        step.reset();
        state.ResumeTiming();
    }
}

void comparison(benchmark::State& state)
{
    const korbana::PriceIndex& index = builtIndex();
    double mix = 0;
    for (auto _ : state)
        mix = index.compare(lists().shopping).cheapestMixTotal;
    benchmark::DoNotOptimize(mix);
}

// What the status bar's total costs: every entry's price read once.
void everyPrice(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(readEveryPrice(lists().shopping));
}

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// What the index adds to the lists' memory, against what the lists take.
void indexMemory(benchmark::State& state)
{
    const long before = residentKilobytes();
    lists();
    const long withLists = residentKilobytes();
    for (auto _ : state)
        builtIndex();
    state.counters["lists_kB"] = double(withLists - before);
    state.counters["index_kB"] = double(residentKilobytes() - withLists);
}

} // namespace

// Named as bench/run's table reads them: case/program/entries (400 + 499,800 + 499,800).
BENCHMARK(indexMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(markersAfterChange)->Name("price-markers/korbana/1000000")->Unit(benchmark::kMillisecond);
BENCHMARK(cheapestShops)->Unit(benchmark::kMillisecond);
BENCHMARK(chooseCheapestShopsStep)->Name("cheapest-shops/korbana/1000000")->Unit(benchmark::kMillisecond);
BENCHMARK(comparison)->Name("price-comparison/korbana/1000000")->Unit(benchmark::kMillisecond);
// The one baseline of the three cases above.
BENCHMARK(everyPrice)->Name("price-total/baseline/1000000")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
