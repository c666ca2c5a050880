#include "DocumentShoppingSource.h"

#include "document/ListDocument.h"
#include "lists/ListModel.h"

#include <QHash>

#include <algorithm>

namespace korbana {

namespace {

enum ShoppingText { Name = 0, Shop = 1, Price = 2 };

} // namespace

DocumentShoppingSource::DocumentShoppingSource(ListDocument& document, QObject* parent)
    : ShoppingSource(parent)
    , m_document(document)
{
    follow(document.shopping());
    // The shops' order is the order of the groups.
    follow(document.stores());
}

void DocumentShoppingSource::follow(ListModel* model)
{
    const auto changed = [this] { Q_EMIT ShoppingSource::changed(); };
    connect(model, &QAbstractItemModel::dataChanged, this, changed);
    connect(model, &QAbstractItemModel::rowsInserted, this, changed);
    connect(model, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(model, &QAbstractItemModel::rowsMoved, this, changed);
    connect(model, &QAbstractItemModel::modelReset, this, changed);
    connect(model, &QAbstractItemModel::layoutChanged, this, changed);
}

QList<std::pair<int, QString>> DocumentShoppingSource::keyedRows() const
{
    const ListModel& shopping = *m_document.shopping();
    QList<std::pair<int, QString>> rows;
    rows.reserve(shopping.count());
    QHash<QString, int> seen;
    for (int row = 0; row < shopping.count(); ++row) {
        const QString name = shopping.subItem(row, Name);
        const QString shop = shopping.subItem(row, Shop);
        int& occurrence = seen[entryKey(name, shop, 0)];
        rows.append({ row, entryKey(name, shop, occurrence++) });
    }
    return rows;
}

QList<PhoneEntry> DocumentShoppingSource::entries() const
{
    const ListModel& shopping = *m_document.shopping();
    const ListModel& stores = *m_document.stores();
    // Shops in the order of the shop list; shops it does not hold follow in the order they first appear.
    QHash<QString, int> shopRank;
    for (int row = 0; row < stores.count(); ++row)
        shopRank.insert(stores.caption(row), shopRank.value(stores.caption(row), row));
    QList<std::pair<int, QString>> rows = keyedRows();
    for (const auto& [row, key] : rows) {
        const QString shop = shopping.subItem(row, Shop);
        if (!shopRank.contains(shop))
            shopRank.insert(shop, stores.count() + row);
    }
    std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
        return shopRank.value(shopping.subItem(a.first, Shop)) < shopRank.value(shopping.subItem(b.first, Shop));
    });

    QList<PhoneEntry> entries;
    entries.reserve(rows.size());
    for (const auto& [row, key] : rows) {
        // Ticks are not kept by the document yet: every entry is open.
        entries.append({ key, shopping.subItem(row, Shop), shopping.caption(row), shopping.subItem(row, Name),
            shopping.subItem(row, Price), false });
    }
    return entries;
}

bool DocumentShoppingSource::setTicked(const QString& key, bool ticked)
{
    Q_UNUSED(ticked)
    // Until the document keeps ticks, a tick from the phone is reported as not taken.
    Q_UNUSED(key)
    return false;
}

} // namespace korbana
