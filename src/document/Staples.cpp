#include "Staples.h"

#include "lists/ListModel.h"

#include <QSet>

namespace korbana {

namespace {

constexpr qsizetype kFields = 4; // occurrence, name, shop, quantity

} // namespace

void Staples::setRecords(const QList<ListExtras::Record>& records)
{
    m_records = records;
    m_quantities.clear();
    for (const ListExtras::Record& record : records) {
        if (record.fields.size() == kFields && !m_quantities.contains({ record.fields[1], record.fields[2] }))
            m_quantities.insert({ record.fields[1], record.fields[2] }, record.fields[3]);
    }
}

QString Staples::quantityOf(const ListModel& products, int row) const
{
    if (m_quantities.isEmpty() || row < 0 || row >= products.count())
        return {};
    return m_quantities.value({ products.caption(row), products.subItem(row, 0) });
}

QList<ListExtras::Record> Staples::recordsWith(const ListModel& products, int row, const QString& quantity) const
{
    const QString name = products.caption(row);
    const QString shop = products.subItem(row, 0);
    QList<ListExtras::Record> records = m_records;
    records.removeIf([&](const ListExtras::Record& record) {
        return record.fields.size() == kFields && record.fields[1] == name && record.fields[2] == shop;
    });
    // Products of the same name at the same shop are one staple: the first of them is named.
    if (!quantity.isEmpty())
        records.append({ kKind.toString(), { QStringLiteral("1"), name, shop, quantity } });
    return records;
}

std::vector<Entry> Staples::missingFrom(const ListModel& shopping, const ListModel& products) const
{
    std::vector<Entry> added;
    if (m_quantities.isEmpty())
        return added;
    QSet<QString> names;
    for (auto it = m_quantities.cbegin(); it != m_quantities.cend(); ++it)
        names.insert(it.key().first);
    // What the list holds already: only the rows of staples' names are looked at closely.
    QSet<Key> present;
    for (int row = 0; row < shopping.count(); ++row) {
        const Entry& entry = shopping.entryAt(row);
        if (names.contains(entry.subItems[0]))
            present.insert({ entry.subItems[0], entry.subItems[1] });
    }
    for (int row = 0; row < products.count(); ++row) {
        const Entry& product = products.entryAt(row);
        if (!names.contains(product.caption))
            continue;
        const Key key { product.caption, product.subItems[0] };
        const auto quantity = m_quantities.constFind(key);
        if (quantity == m_quantities.cend() || present.contains(key))
            continue;
        present.insert(key); // once, also when the catalogue holds the product twice
        added.push_back(shopping.makeEntry(*quantity, { product.caption, product.subItems[0], product.subItems[1] }));
    }
    return added;
}

} // namespace korbana
