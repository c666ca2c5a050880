#include "ShopWalk.h"

#include "lists/ListModel.h"

#include <QHash>

#include <algorithm>
#include <limits>

namespace korbana::ShopWalk {

namespace {

constexpr int kNoPlace = std::numeric_limits<int>::max();

} // namespace

QStringList walkOf(const QList<ListExtras::Record>& records, const QString& shop)
{
    for (const ListExtras::Record& record : records) {
        if (record.kind == kKind && !record.fields.isEmpty() && record.fields.first() == shop)
            return record.fields.mid(1);
    }
    return {};
}

QList<ListExtras::Record> withWalk(QList<ListExtras::Record> records, const QString& shop, const QStringList& names)
{
    const auto own = std::find_if(records.begin(), records.end(), [&shop](const ListExtras::Record& record) {
        return !record.fields.isEmpty() && record.fields.first() == shop;
    });
    if (names.isEmpty()) {
        if (own != records.end())
            records.erase(own);
        return records;
    }
    ListExtras::Record record { kKind.toString(), QStringList { shop } + names };
    if (own != records.end())
        *own = std::move(record);
    else
        records.append(std::move(record));
    return records;
}

std::vector<int> shoppingOrder(
    const ListModel& shopping, const ListModel& stores, const QList<ListExtras::Record>& records)
{
    // Each shop's place and walk, found with one look-up per row.
    struct Shop
    {
        int rank = 0;
        QHash<QString, int> places;
    };
    QHash<QString, Shop> shops;
    shops.reserve(stores.count());
    for (int row = 0; row < stores.count(); ++row)
        shops[stores.caption(row)].rank = row; // a shop listed twice keeps its last place: no matter
    // Shops the Store list does not hold come after it, in the order of their first entry.
    int nextShop = stores.count();
    for (const ListExtras::Record& record : records) {
        if (record.kind != kKind || record.fields.isEmpty())
            continue;
        auto shop = shops.find(record.fields.first());
        if (shop == shops.end())
            shop = shops.insert(record.fields.first(), { -1, {} });
        for (qsizetype i = 1; i < record.fields.size(); ++i)
            shop->places.insert(record.fields[i], static_cast<int>(i));
    }

    // Sorted by shop, place and row: the row keeps equal places in their order.
    struct Key
    {
        int shop;
        int place;
        int row;
        bool operator<(const Key& other) const
        {
            return shop != other.shop  ? shop < other.shop
                : place != other.place ? place < other.place
                                       : row < other.row;
        }
    };
    const int count = shopping.count();
    std::vector<Key> keys;
    keys.reserve(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        const Entry& entry = shopping.entryAt(row);
        auto shop = shops.find(entry.subItems[1]);
        if (shop == shops.end())
            shop = shops.insert(entry.subItems[1], { nextShop++, {} });
        else if (shop->rank < 0)
            shop->rank = nextShop++;
        const int place = shop->places.isEmpty() ? kNoPlace : shop->places.value(entry.subItems[0], kNoPlace);
        keys.push_back({ shop->rank, place, row });
    }
    std::sort(keys.begin(), keys.end());
    std::vector<int> order;
    order.reserve(keys.size());
    for (const Key& key : keys)
        order.push_back(key.row);
    return order;
}

std::optional<WalkMove> moveInWalk(
    const ListModel& products, const QList<ListExtras::Record>& records, int productRow, int step)
{
    if (productRow < 0 || productRow >= products.count() || (step != -1 && step != 1))
        return std::nullopt;
    const QString shop = products.subItem(productRow, 0);
    // The walk as stored, then the shop's other products in the catalogue's order: every product has a place.
    QStringList walk = walkOf(records, shop);
    QHash<QString, int> firstRow;
    for (int row = 0; row < products.count(); ++row) {
        if (products.subItem(row, 0) != shop)
            continue;
        const QString name = products.caption(row);
        if (!firstRow.contains(name))
            firstRow.insert(name, row);
        if (!walk.contains(name))
            walk.append(name);
    }
    // Names of products the shop no longer has keep no place.
    walk.removeIf([&firstRow](const QString& name) { return !firstRow.contains(name); });
    const qsizetype at = walk.indexOf(products.caption(productRow));
    const qsizetype to = at + step;
    if (at < 0 || to < 0 || to >= walk.size())
        return std::nullopt;
    const int otherRow = firstRow.value(walk.at(to));
    walk.swapItemsAt(at, to);
    return WalkMove { shop, walk, otherRow };
}

} // namespace korbana::ShopWalk
