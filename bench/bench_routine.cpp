// The weekly routine at a household's worst: 400 shops, 499,800 products, 499,800 shopping entries, each command
// a whole step of the document's history. Beside a baseline: one pass reading every entry's price, as the total does.
#include "document/ListDocument.h"
#include "lists/ListModel.h"
#include "lists/ListTexts.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRandomGenerator>
#include <QUndoStack>

#include "EveryPrice.h"

#include <benchmark/benchmark.h>

using namespace korbana;

namespace {

constexpr int kShops = 400;
constexpr int kNames = 5'000;
constexpr int kProducts = 499'800;
constexpr int kEntries = 499'800;
constexpr int kStaples = 1'000;
constexpr int kTicked = 50'000;

QString shopName(int s)
{
    return QStringLiteral("Laden %1").arg(s);
}

// The catalogue holds each name at some shops; the Shopping list takes random products of it.
ListDocument& document()
{
    static ListDocument* made = [] {
        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        auto* d = new ListDocument;
        QRandomGenerator random(11);
        std::vector<Entry> stores(kShops);
        for (int s = 0; s < kShops; ++s)
            stores[size_t(s)].caption = shopName(s);
        d->stores()->appendAll(std::move(stores));
        QStringList names;
        for (int n = 0; n < kNames; ++n)
            names << QStringLiteral("Produkt %1").arg(n);
        std::vector<Entry> products(kProducts);
        for (int i = 0; i < kProducts; ++i) {
            Entry& e = products[size_t(i)];
            e.caption = names[i % kNames];
            e.subItems[0] = shopName((i / kNames + i) % kShops);
            e.subItems[1] = korbana::priceText(random.bounded(50, 2000) / 100.0);
        }
        d->products()->appendAll(std::move(products));
        std::vector<Entry> entries(kEntries);
        for (Entry& e : entries) {
            const Entry& product = d->products()->entryAt(int(random.bounded(kProducts)));
            e.caption = QString::number(random.bounded(1, 6));
            e.subItems = { product.caption, product.subItems[0], product.subItems[1] };
        }
        d->shopping()->appendAll(std::move(entries));
        // Staples spread over the catalogue, and a walk for every shop naming its products.
        for (int i = 0; i < kStaples; ++i)
            d->setStaple(i * (kProducts / kStaples), QStringLiteral("2"));
        QList<ListExtras::Record> walks;
        for (int s = 0; s < kShops; ++s) {
            QStringList walk { shopName(s) };
            for (int n = kNames - 1; n >= 0; n -= 3)
                walk << names[n];
            walks.append({ QStringLiteral("walk"), walk });
        }
        d->changeExtraRecords(QStringLiteral("walk"), walks, QStringLiteral("Laufweg"));
        return d;
    }();
    return *made;
}

// A keystroke in the quick-add field: the suggestions for the line as typed so far.
void quickAddKey(benchmark::State& state)
{
    ListDocument& d = document();
    const QString typed[] = { QStringLiteral("2 produkt 12"), QStringLiteral("2 produkt 123") };
    d.quickAddSuggestions(QStringLiteral("p"), 12); // the first key after a change makes the name index
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(d.quickAddSuggestions(typed[i++ % 2], 12));
}

// The first key after a change of the catalogue: the name index made anew.
void quickAddFirstKey(benchmark::State& state)
{
    ListDocument& d = document();
    for (auto _ : state) {
        state.PauseTiming();
        d.products()->setCaption(1, d.products()->caption(1));
        state.ResumeTiming();
        benchmark::DoNotOptimize(d.quickAddSuggestions(QStringLiteral("2 produkt 12"), 12));
    }
}

// Each timed command is undone untimed.
void undone(benchmark::State& state, ListDocument& d)
{
    state.PauseTiming();
    d.undo();
    state.ResumeTiming();
}

void addStaples(benchmark::State& state)
{
    ListDocument& d = document();
    int added = 0;
    for (auto _ : state) {
        added = d.addStaples();
        undone(state, d);
    }
    state.counters["added"] = added;
}

void removeTicked(benchmark::State& state)
{
    ListDocument& d = document();
    QList<ListExtras::Record> ticks;
    const ListModel& shopping = *d.shopping();
    for (int row = 0; row < shopping.count(); row += shopping.count() / kTicked) {
        const Entry& e = shopping.entryAt(row);
        ticks.append({ QStringLiteral("tick"),
            { QStringLiteral("1"), e.caption, e.subItems[0], e.subItems[1], e.subItems[2] } });
    }
    d.changeExtraRecords(QStringLiteral("tick"), ticks, QStringLiteral("Abhaken"));
    int removed = 0;
    for (auto _ : state) {
        removed = d.removeTicked();
        undone(state, d);
    }
    state.counters["removed"] = removed;
    d.undo();
}

void orderByWalk(benchmark::State& state)
{
    ListDocument& d = document();
    for (auto _ : state) {
        benchmark::DoNotOptimize(d.orderShoppingByWalk());
        undone(state, d);
    }
}

// What the status bar's total costs: every entry's price read once.
void everyPrice(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(readEveryPrice(*document().shopping()));
}

} // namespace

// Named as bench/run's table reads them: case/program/entries (400 + 499,800 + 499,800).
BENCHMARK(quickAddKey)->Name("quick-add-key/korbana/1000000")->Unit(benchmark::kMillisecond);
BENCHMARK(quickAddFirstKey)->Name("quick-add-first-key/korbana/1000000")->Unit(benchmark::kMillisecond);
BENCHMARK(addStaples)->Name("add-staples/korbana/1000000")->Unit(benchmark::kMillisecond);
BENCHMARK(removeTicked)->Name("remove-ticked/korbana/1000000")->Unit(benchmark::kMillisecond);
BENCHMARK(orderByWalk)->Name("order-by-walk/korbana/1000000")->Unit(benchmark::kMillisecond);
BENCHMARK(everyPrice)->Name("routine-total/baseline/1000000")->Unit(benchmark::kMillisecond);

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
