#include "ShoppingTicks.h"

#include "lists/ListModel.h"

#include <algorithm>

namespace korbana {

namespace {

constexpr int kTextFields = 4; // quantity, name, shop, price

// The occurrence a record names, or 0 when the record is no tick this version understands.
int occurrenceOf(const ListExtras::Record& record)
{
    if (record.fields.size() != 1 + kTextFields)
        return 0;
    bool ok = false;
    const int occurrence = record.fields.first().toInt(&ok);
    return ok && occurrence > 0 ? occurrence : 0;
}

} // namespace

ShoppingTicks::ShoppingTicks(const ListModel& shopping)
    : m_shopping(shopping)
{
}

void ShoppingTicks::setRecords(const QList<ListExtras::Record>& records)
{
    m_records = records;
    m_ticked.clear();
    m_byName.clear();
    for (const ListExtras::Record& record : records) {
        const int occurrence = occurrenceOf(record);
        if (occurrence == 0)
            continue;
        const QStringList& f = record.fields;
        std::vector<size_t>& named = m_byName[f[2]];
        const auto same = std::find_if(named.begin(), named.end(), [&](size_t i) {
            return m_ticked[i].quantity == f[1] && m_ticked[i].shop == f[3] && m_ticked[i].price == f[4];
        });
        if (same != named.end()) {
            m_ticked[*same].occurrences.insert(occurrence);
        } else {
            named.push_back(m_ticked.size());
            m_ticked.push_back({ f[1], f[3], f[4], { occurrence } });
        }
    }
    m_valid = false;
}

QStringList ShoppingTicks::keyOf(int row) const
{
    const Entry& entry = m_shopping.entryAt(row);
    return { entry.caption, entry.subItems[0], entry.subItems[1], entry.subItems[2] };
}

void ShoppingTicks::rebuild() const
{
    m_valid = true;
    m_count = 0;
    m_rows.clear();
    if (m_ticked.empty())
        return;
    m_rows.assign(static_cast<size_t>(m_shopping.count()), false);
    std::vector<int> seen(m_ticked.size(), 0);
    for (int row = 0; row < m_shopping.count(); ++row) {
        const Entry& entry = m_shopping.entryAt(row);
        const auto named = m_byName.constFind(entry.subItems[0]);
        if (named == m_byName.cend())
            continue;
        for (const size_t i : *named) {
            const Ticked& ticked = m_ticked[i];
            if (ticked.quantity != entry.caption || ticked.shop != entry.subItems[1]
                || ticked.price != entry.subItems[2])
                continue;
            if (ticked.occurrences.contains(++seen[i])) {
                m_rows[static_cast<size_t>(row)] = true;
                ++m_count;
            }
            break;
        }
    }
}

bool ShoppingTicks::isTicked(int row) const
{
    if (!m_valid)
        rebuild();
    return row >= 0 && static_cast<size_t>(row) < m_rows.size() && m_rows[static_cast<size_t>(row)];
}

int ShoppingTicks::tickedCount() const
{
    if (!m_valid)
        rebuild();
    return m_count;
}

std::vector<int> ShoppingTicks::tickedRows() const
{
    if (!m_valid)
        rebuild();
    std::vector<int> rows;
    rows.reserve(static_cast<size_t>(m_count));
    for (size_t row = 0; row < m_rows.size(); ++row) {
        if (m_rows[row])
            rows.push_back(static_cast<int>(row));
    }
    return rows;
}

ListExtras::Record ShoppingTicks::recordFor(int row) const
{
    const QStringList key = keyOf(row);
    const Entry& entry = m_shopping.entryAt(row);
    int occurrence = 1;
    for (int other = 0; other < row; ++other) {
        const Entry& earlier = m_shopping.entryAt(other);
        if (earlier.subItems[0] == entry.subItems[0] && earlier.caption == entry.caption
            && earlier.subItems[1] == entry.subItems[1] && earlier.subItems[2] == entry.subItems[2])
            ++occurrence;
    }
    return { kKind.toString(), QStringList { QString::number(occurrence) } + key };
}

QList<ListExtras::Record> ShoppingTicks::recordsWith(int row, bool ticked) const
{
    const ListExtras::Record own = recordFor(row);
    QList<ListExtras::Record> records = m_records;
    // Also a record that names the entry in another form of its number ("01") goes.
    records.removeIf([&own](const ListExtras::Record& record) {
        return record.fields.mid(1) == own.fields.mid(1) && occurrenceOf(record) == occurrenceOf(own);
    });
    if (ticked)
        records.append(own);
    return records;
}

} // namespace korbana
