#pragma once

#include <QSortFilterProxyModel>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <string>
#include <vector>

namespace korbana {

// A text folded for searching: lower case, and the umlauts and ß written out (ä as ae, ß as ss), so that
// "Müller", "MUELLER" and "mueller" all fold to "mueller".
QString foldForSearch(QStringView text);

// Lets through the products whose name or shop contains the search text, ignoring case and umlaut spellings.
// It only filters: the rows keep the list model's order, which sorting changes in the model itself.
// For a long catalogue one keystroke must stay quick: the folded names and shops are kept in one block of text,
// made at the first search after a change of the list, so a search is one scan of that block.
class ProductFilter final : public QSortFilterProxyModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProductFilter)

public:
    explicit ProductFilter(QObject* parent = nullptr);

    QString searchText() const { return m_searchText; }
    void setSearchText(const QString& text);
    void setSourceModel(QAbstractItemModel* model) override;
    // Whether a product of this name and shop is let through by the search text.
    bool matches(QStringView name, QStringView shop) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    void forgetIndex();
    void buildIndex();
    void findMatches();

    QString m_searchText;
    QString m_foldedSearch;
    // Reused for every row, so filtering a long list does not allocate a text per product.
    mutable QString m_foldBuffer;
    // The folded names and shops as UTF-8, each ended by a separator, and where each row's text starts.
    std::string m_index;
    std::vector<std::uint32_t> m_rowStarts;
    // Whether each row matches the search text; valid while the index is.
    std::vector<bool> m_rowMatches;
    bool m_indexValid = false;
};

} // namespace korbana
