#pragma once

#include "lists/PriceComparison.h"

#include <QDialog>

class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

// "Preisvergleich": one row per shop with how many of the Shopping list's entries it carries, what they cost
// there, what it lacks and what the cheapest mix saves against it, and a last row "Günstigste Aufteilung" with the
// cheapest mix and what moving the list to it saves. Complete shops come first, cheapest first.
namespace korbana {

class PriceComparisonDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PriceComparisonDialog)

public:
    enum Column { Shop, Carried, Total, Missing, Saving, ColumnCount };

    PriceComparisonDialog(const PriceComparisonResult& result, int entryCount, QWidget* parent = nullptr);

    // The table as the view shows it (its order included), one line per row, columns split by tabs.
    QString tableText() const;
    QTableView* table() const { return m_view; }

public Q_SLOTS:
    // Puts tableText() on the clipboard.
    void copyTable();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QStandardItemModel* m_model = nullptr;
    QSortFilterProxyModel* m_sorted = nullptr;
    QTableView* m_view = nullptr;
};

} // namespace korbana
