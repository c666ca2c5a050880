#include "ShoppingTotal.h"

#include "ShoppingPrintout.h"
#include "lists/ListModel.h"
#include "lists/ListTexts.h"

#include <algorithm>

namespace korbana {

ShoppingTotal::ShoppingTotal(const ListModel& shopping, QObject* parent)
    : QObject(parent)
    , m_shopping(shopping)
    , m_decimalSep(korbana::decimalSeparator())
{
    connect(&shopping, &QAbstractItemModel::rowsInserted, this,
        [this](const QModelIndex&, int first, int last) { insertRows(first, last); });
    connect(&shopping, &QAbstractItemModel::rowsRemoved, this,
        [this](const QModelIndex&, int first, int last) { removeRows(first, last); });
    connect(&shopping, &QAbstractItemModel::dataChanged, this,
        [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
            readRows(topLeft.row(), bottomRight.row());
            addUp();
        });
    // A new order or a new list: the line totals are read again, in the new order.
    connect(&shopping, &QAbstractItemModel::layoutChanged, this, &ShoppingTotal::readAll);
    connect(&shopping, &QAbstractItemModel::modelReset, this, &ShoppingTotal::readAll);
    connect(&shopping, &QAbstractItemModel::rowsMoved, this, &ShoppingTotal::readAll);
    readAll();
}

QString ShoppingTotal::currencySuffix() const
{
    const int count = m_shopping.count();
    if (count == 0)
        return QStringLiteral(" EUR");
    const Entry& last = m_shopping.entryAt(count - 1);
    return ShoppingPrintout::readAmounts(last.caption, last.subItems[2], m_decimalSep).currencySuffix;
}

QString ShoppingTotal::text() const
{
    return QStringLiteral("Summe: ") + korbana::totalText(m_total, m_decimalSep, currencySuffix());
}

double ShoppingTotal::totalOf(const std::function<bool(int row)>& include) const
{
    double total = 0;
    for (size_t row = 0; row < m_lineTotals.size(); ++row) {
        if (include(static_cast<int>(row)))
            total += m_lineTotals[row];
    }
    return total;
}

void ShoppingTotal::readRows(int first, int last)
{
    // Texts shared with the catalogue lie in its order, not the list's: fetched a few rows ahead, the waits on memory
    // overlap.
    constexpr int kFetchAhead = 8;
    for (int row = first; row <= last; ++row) {
        m_shopping.prefetchTexts(row + kFetchAhead);
        const Entry& entry = m_shopping.entryAt(row);
        m_lineTotals[static_cast<size_t>(row)]
            = ShoppingPrintout::lineTotal(entry.caption, entry.subItems[2], m_decimalSep);
        m_uncounted[static_cast<size_t>(row)]
            = static_cast<char>(!korbana::unitPriceOf(entry.subItems[2], m_decimalSep));
    }
}

void ShoppingTotal::readAll()
{
    m_lineTotals.assign(static_cast<size_t>(m_shopping.count()), 0.0);
    m_uncounted.assign(static_cast<size_t>(m_shopping.count()), 0);
    readRows(0, m_shopping.count() - 1);
    addUp();
}

void ShoppingTotal::insertRows(int first, int last)
{
    m_lineTotals.insert(m_lineTotals.begin() + first, static_cast<size_t>(last - first) + 1, 0.0);
    m_uncounted.insert(m_uncounted.begin() + first, static_cast<size_t>(last - first) + 1, 0);
    readRows(first, last);
    addUp();
}

void ShoppingTotal::removeRows(int first, int last)
{
    m_lineTotals.erase(m_lineTotals.begin() + first, m_lineTotals.begin() + last + 1);
    m_uncounted.erase(m_uncounted.begin() + first, m_uncounted.begin() + last + 1);
    addUp();
}

void ShoppingTotal::addUp()
{
    double total = 0;
    for (const double lineTotal : m_lineTotals)
        total += lineTotal;
    m_total = total;
    m_uncountedCount = static_cast<int>(std::count(m_uncounted.begin(), m_uncounted.end(), char(1)));
    Q_EMIT changed();
}

} // namespace korbana
