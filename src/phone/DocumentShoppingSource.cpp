#include "DocumentShoppingSource.h"

#include "document/ListDocument.h"
#include "lists/ListModel.h"

#include <QHash>

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
    // Ticks, and the walk through each shop, live beside the lists.
    const auto changed = [this] { Q_EMIT ShoppingSource::changed(); };
    connect(&document, &ListDocument::ticksChanged, this, changed);
    connect(&document, &ListDocument::extrasChanged, this, changed);
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
    const QList<std::pair<int, QString>> rows = keyedRows();
    QList<PhoneEntry> entries;
    entries.reserve(rows.size());
    // The walk: shops in the order of the shop list, each shop's products in the order they are walked past.
    for (const int row : m_document.walkOrder()) {
        if (row < 0 || row >= rows.size())
            continue;
        entries.append({ rows[row].second, shopping.subItem(row, Shop), shopping.caption(row),
            shopping.subItem(row, Name), shopping.subItem(row, Price), m_document.isTicked(row) });
    }
    return entries;
}

bool DocumentShoppingSource::setTicked(const QString& key, bool ticked)
{
    for (const auto& [row, rowKey] : keyedRows()) {
        if (rowKey == key) {
            m_document.setTicked(row, ticked);
            return true;
        }
    }
    return false;
}

} // namespace korbana
