#pragma once

#include <QObject>
#include <QString>

#include <vector>

namespace korbana {

class ListModel;

// The grand total of the Shopping list as the printout works it out, kept up to date while the list changes.
// Each entry's line total is read once when the entry arrives or changes; a change then costs one pass of
// additions in list order, the order in which the printout adds, so both give the same total to the last bit.
class ShoppingTotal final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShoppingTotal)

public:
    explicit ShoppingTotal(const ListModel& shopping, QObject* parent = nullptr);

    double total() const { return m_total; }
    // The currency suffix of the last entry, as on the printout's total line; " EUR" for an empty list.
    QString currencySuffix() const;
    // "Summe: 4,47 EUR"; "Summe: Überlauf" where the sum leaves the range of numbers.
    QString text() const;
    // How many entries count as 0 because their price cannot be read.
    int uncountedCount() const { return m_uncountedCount; }

Q_SIGNALS:
    void changed();

private:
    void readRows(int first, int last);
    void readAll();
    void insertRows(int first, int last);
    void removeRows(int first, int last);
    void addUp();

    const ListModel& m_shopping;
    QString m_decimalSep;
    std::vector<double> m_lineTotals;
    std::vector<char> m_uncounted; // per entry: its price cannot be read
    double m_total = 0;
    int m_uncountedCount = 0;
};

} // namespace korbana
