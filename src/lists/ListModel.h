#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QString>
#include <QStringList>

#include <array>
#include <deque>
#include <functional>
#include <vector>

namespace korbana {

// One row of a list: a caption (first column) and up to three sub-items (the further columns).
struct Entry
{
    static constexpr int kMaxSubItems = 3;
    QString caption;
    std::array<QString, kMaxSubItems> subItems;
    // Every entry shows its list's first picture: the index is the same for all and takes no room in a row, which
    // at a million rows would be eight megabytes.
    static constexpr int imageIndex = 0;
};

// Texts for some sub-items of many rows, held beside the list to be swapped in: each row names its texts by number
// in a table of the distinct ones, so that moving half a million entries to a few hundred shops holds a few bytes
// per row.
struct SubItemTable
{
    struct Row
    {
        int row = 0;
        quint32 texts = 0; // into texts
    };
    // A deque: it is filled while the moves it is made from are taken apart, so that both are never held whole.
    std::deque<Row> rows;
    std::vector<std::array<QString, Entry::kMaxSubItems>> texts;
};

// A list in report style. The model owns its rows; there is no other copy of the data.
// The column a list was last sorted by and whether that click turned the order round: the next click on a header
// depends on it, and undoing a sort puts it back.
struct SortState
{
    int column = 0;
    // Turns with every click on the same column; what it means depends on the column's kind.
    bool flipped = false;

    bool operator==(const SortState& other) const { return column == other.column && flipped == other.flipped; }
};

class ListModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListModel)

public:
    explicit ListModel(const QStringList& headers, QObject* parent = nullptr);
    ~ListModel() override;

    // Once the event loop has ended, a list that is destroyed leaves its rows to the end of the process: the
    // system takes back a million entries at once, where freeing them string by string would hold up the exit.
    static void leaveRowsToProcessEnd(bool leave = true);
    // Frees the rows left so far, for a process that goes on after its lists are gone.
    static void freeRowsLeft();

    void setIcon(const QIcon& icon) { m_icon = icon; }
    const QIcon& icon() const { return m_icon; }

    // More data of one column's cells (a marker, its tooltip) from a provider that the model does not own. The
    // provider answers (row, role) with a value, or an invalid QVariant for nothing; the texts stay the model's.
    using CellHints = std::function<QVariant(int row, int role)>;
    void setCellHints(int column, CellHints hints);
    // The provider's answers have changed: the views ask again for every cell of its column.
    void cellHintsChanged();

    // Rows that can be ticked off: a tick box in the first column, and a ticked row greyed and struck through.
    // isTicked answers for a row; a click on a box goes to setTicked, and the model changes nothing itself.
    using TickQuery = std::function<bool(int row)>;
    using TickSetter = std::function<void(int row, bool ticked)>;
    void setTickBoxes(TickQuery isTicked, TickSetter setTicked);
    bool hasTickBoxes() const { return bool(m_isTicked); }
    // The ticks of rows first to last have changed: the views draw them again.
    void ticksChanged(int first, int last);

    int count() const { return static_cast<int>(m_rows.size()); }
    int subItemCount() const { return static_cast<int>(m_headers.size()) - 1; }
    const Entry& entryAt(int row) const { return m_rows[static_cast<size_t>(row)]; }

    // An entry as append() would add it: image index 0, texts storable, sub-items past the column count dropped.
    Entry makeEntry(const QString& caption, const QStringList& subItems = {}) const;
    // Appends at the end with image index 0 and returns the new row. Sub-items past the column count are dropped.
    int append(const QString& caption, const QStringList& subItems = {});
    // Appends many rows at once (loading a file); one model reset.
    void appendAll(std::vector<Entry>&& entries);
    void deleteAt(int row);
    void clear();

    // The steps of the undo history move entries in and out whole, so that no text is ever copied.
    // Puts the entry in at row (0 to count()).
    void insertAt(int row, Entry&& entry);
    // Takes the row out and returns it; row must exist.
    Entry takeAt(int row);
    // Puts the entry in place of the row and returns the one it replaced; row must exist.
    Entry replaceAt(int row, Entry&& entry);
    // Swaps sub-items first to last of each given row with the texts held for them, as one change of the list:
    // afterwards the table holds the rows' former texts. Rows out of range are left alone.
    void swapSubItems(int first, int last, SubItemTable& table);
    // Takes the rows from row to the end out at once and returns them.
    std::vector<Entry> takeFrom(int row);
    // Swaps all rows for these in one model reset and returns the rows held before.
    std::vector<Entry> replaceAll(std::vector<Entry>&& rows);
    // Ends rows that are no longer needed: freed now, or left to the process end as a destroyed list leaves its own.
    static void dispose(std::vector<Entry>&& rows);

    // A hint that the row's texts are read soon: a pass over a long list otherwise waits on memory for every
    // string in turn. Rows out of range are ignored.
    void prefetchTexts(int row) const;

    QString caption(int row) const { return entryAt(row).caption; }
    void setCaption(int row, const QString& text);
    QString subItem(int row, int index) const;
    void setSubItem(int row, int index, const QString& text);

    // A text as a list holds it: a list file ends a line at CR and the file at byte 26, so a CR (from a paste,
    // say) becomes a blank and byte 26 is dropped.
    static QString storable(QString text);

    // Puts the rows in a new order: newOrder[i] is the old row that becomes row i. Selections follow their rows.
    void applyOrder(const std::vector<int>& newOrder);

    SortState sortState() const { return m_sortState; }
    void setSortState(SortState state) { m_sortState = state; }

    // Room for that many rows and some more: a list filled at once keeps it, so that the next row the user adds
    // does not move a million others.
    static size_t capacityFor(size_t rows) { return rows + rows / 8 + 16; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QString text(const Entry& entry, int column) const;

    QStringList m_headers;
    std::vector<Entry> m_rows;
    QIcon m_icon;
    int m_hintColumn = -1;
    CellHints m_hints;
    TickQuery m_isTicked;
    TickSetter m_setTicked;
    SortState m_sortState;
};

} // namespace korbana
