#pragma once

#include <QSortFilterProxyModel>
#include <QString>
#include <QStringView>

namespace korbana {

// A text folded for searching: lower case, and the umlauts and ß written out (ä as ae, ß as ss), so that
// "Müller", "MUELLER" and "mueller" all fold to "mueller".
QString foldForSearch(QStringView text);

} // namespace korbana

// Lets through the products whose name or shop contains the search text, ignoring case and umlaut spellings.
// It only filters: the rows keep the list model's order, which sorting changes in the model itself.
class ProductFilter final : public QSortFilterProxyModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProductFilter)

public:
    explicit ProductFilter(QObject* parent = nullptr);

    QString searchText() const { return m_searchText; }
    void setSearchText(const QString& text);
    // Whether a product of this name and shop is let through by the search text.
    bool matches(QStringView name, QStringView shop) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QString m_searchText;
    QString m_foldedSearch;
    // Reused for every row, so filtering a long list does not allocate a text per product.
    mutable QString m_foldBuffer;
};
