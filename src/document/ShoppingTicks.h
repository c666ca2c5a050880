#pragma once

#include "ListExtras.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

namespace korbana {

class ListModel;

// Which shopping entries are ticked off. The ticks are the document's "tick" records, each naming an entry by its
// four texts and its occurrence among entries with the same texts; this class answers for rows, from a table made
// once after each change of the list or the ticks, so that painting a row costs a lookup.
class ShoppingTicks
{
public:
    static constexpr QStringView kKind = u"tick";

    explicit ShoppingTicks(const ListModel& shopping);

    // The tick records now held; the table is made again when next asked.
    void setRecords(const QList<ListExtras::Record>& records);
    // The Shopping list changed: the table is made again when next asked.
    void invalidate() { m_valid = false; }

    bool isTicked(int row) const;
    int tickedCount() const;
    // The rows ticked, in list order.
    std::vector<int> tickedRows() const;

    // The tick records with the row's tick set or taken away.
    QList<ListExtras::Record> recordsWith(int row, bool ticked) const;
    // The record that names the row's entry as it stands now.
    ListExtras::Record recordFor(int row) const;

private:
    QStringList keyOf(int row) const;
    void rebuild() const;

    const ListModel& m_shopping;
    QList<ListExtras::Record> m_records;
    // The four texts of a ticked entry and the occurrences of it that are ticked; found by the entry's name, so
    // that a pass over the list looks each row up once and makes nothing for it.
    struct Ticked
    {
        QString quantity;
        QString shop;
        QString price;
        QSet<int> occurrences;
    };
    std::vector<Ticked> m_ticked;
    QHash<QString, std::vector<size_t>> m_byName; // into m_ticked
    mutable bool m_valid = false;
    mutable std::vector<bool> m_rows;
    mutable int m_count = 0;
};

} // namespace korbana
