// Sorting the product catalogue by a column header, beside std::stable_sort of keys computed beforehand.
#include "BenchFixture.h"

#include "lists/ListSort.h"
#include "lists/ListTexts.h"

#include <QCollatorSortKey>

#include <algorithm>
#include <numeric>
#include <optional>
#include <vector>

using namespace korbana;

namespace {

constexpr int kName = 0;
constexpr int kPrice = 2;

int entries(const benchmark::State& state)
{
    return static_cast<int>(state.range(0));
}

// A copy of the catalogue in its file order, to be put back (untimed) before every timed sort.
class Unsorted
{
public:
    explicit Unsorted(const ListModel& original)
        : m_rows(static_cast<size_t>(original.count()))
    {
        for (int row = 0; row < original.count(); ++row)
            m_rows[static_cast<size_t>(row)] = original.entryAt(row);
    }
    void restore(ListModel& list) const
    {
        list.clear();
        list.appendAll(std::vector<Entry>(m_rows));
    }

private:
    std::vector<Entry> m_rows;
};

template<int column> void sortKorbana(benchmark::State& state)
{
    const bench::Fixture& f = bench::fixture(entries(state));
    const Unsorted unsorted(*f.lists.products);
    ListModel list({ QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") });
    for (auto _ : state) {
        state.PauseTiming();
        unsorted.restore(list);
        state.ResumeTiming();
        list.applyOrder(korbana::sortOrder(korbana::ListKind::Products, column, false, list));
    }
    state.SetItemsProcessed(state.iterations() * list.count());
}

// The keys as the header click orders by them: folded name then folded shop, A to Z; or price, largest first.
struct NameKeys
{
    QCollatorSortKey name;
    QCollatorSortKey shop;
    bool operator<(const NameKeys& other) const
    {
        const int byName = name.compare(other.name);
        return byName != 0 ? byName < 0 : shop.compare(other.shop) < 0;
    }
};

struct PriceKey
{
    double price;
    bool operator<(const PriceKey& other) const { return price > other.price; }
};

template<class Key> std::vector<Key> keysOf(const ListModel& list)
{
    std::vector<Key> keys;
    keys.reserve(static_cast<size_t>(list.count()));
    for (int row = 0; row < list.count(); ++row) {
        const Entry& e = list.entryAt(row);
        if constexpr (std::is_same_v<Key, NameKeys>) {
            const QCollator& collator = korbana::textCollator();
            keys.push_back(
                { collator.sortKey(korbana::foldText(e.caption)), collator.sortKey(korbana::foldText(e.subItems[0])) });
        } else {
            keys.push_back({ korbana::readNumber(korbana::leadingAmount(e.subItems[1])).value_or(-1e300) });
        }
    }
    return keys;
}

template<class Key> void sortBaseline(benchmark::State& state)
{
    const bench::Fixture& f = bench::fixture(entries(state));
    const std::vector<Key> keys = keysOf<Key>(*f.lists.products);
    std::vector<int> order(keys.size());
    for (auto _ : state) {
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
            [&keys](int a, int b) { return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)]; });
        benchmark::DoNotOptimize(order.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.size()));
}

const bool registered = [] {
    bench::registerSizes("sort-name", "korbana", sortKorbana<kName>);
    bench::registerSizes("sort-name", "baseline", sortBaseline<NameKeys>);
    bench::registerSizes("sort-price", "korbana", sortKorbana<kPrice>);
    bench::registerSizes("sort-price", "baseline", sortBaseline<PriceKey>);
    return true;
}();

} // namespace
