#pragma once

#include "ListExtras.h"

#include <QHash>
#include <QString>

#include <utility>
#include <vector>

namespace korbana {

class ListModel;
struct Entry;

// Staples: products bought every week, each with its usual quantity. One "staple" record per product, naming it
// by its name and shop, so that a new price keeps it; products with the same name at the same shop are one staple.
class Staples
{
public:
    static constexpr QStringView kKind = u"staple";

    void setRecords(const QList<ListExtras::Record>& records);
    bool isEmpty() const { return m_quantities.isEmpty(); }

    // The usual quantity of the product at that row; empty when it is no staple.
    QString quantityOf(const ListModel& products, int row) const;
    // The records with the product's usual quantity set (empty: no staple any more).
    QList<ListExtras::Record> recordsWith(const ListModel& products, int row, const QString& quantity) const;
    // The shopping entries for every staple that the Shopping list does not hold yet (by name and shop), in the
    // order of the catalogue.
    std::vector<Entry> missingFrom(const ListModel& shopping, const ListModel& products) const;

private:
    using Key = std::pair<QString, QString>; // name, shop

    QList<ListExtras::Record> m_records;
    QHash<Key, QString> m_quantities;
};

} // namespace korbana
