#include "ListModel.h"

#include <QColor>
#include <QFont>
#include <QHash>

#include <algorithm>

namespace korbana {

namespace {

// A hint to the processor to start loading the entry's memory; no effect on the result.
void prefetch(const Entry* entry)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(entry);
    __builtin_prefetch(reinterpret_cast<const char*>(entry) + sizeof(Entry) - 1);
#else
    Q_UNUSED(entry);
#endif
}

// The rows of each cycle of the permutation in the order an in-place move visits them: row, then the row whose
// entry moves into it, and so on. The first row of a cycle is stored as -(row + 1).
std::vector<int> cycleWalk(const std::vector<int>& newOrder)
{
    const size_t n = newOrder.size();
    std::vector<int> walk;
    walk.reserve(n); // one step per row that moves
    std::vector<bool> visited(n);
    for (size_t start = 0; start < n; ++start) {
        if (visited[start] || static_cast<size_t>(newOrder[start]) == start)
            continue;
        walk.push_back(-static_cast<int>(start) - 1);
        visited[start] = true;
        for (size_t from = static_cast<size_t>(newOrder[start]); from != start;
             from = static_cast<size_t>(newOrder[from])) {
            walk.push_back(static_cast<int>(from));
            visited[from] = true;
        }
    }
    return walk;
}

// The addresses of some sub-items of a row.
struct TextsKey
{
    std::array<const QChar*, Entry::kMaxSubItems> texts {};
    friend bool operator==(const TextsKey& a, const TextsKey& b) { return a.texts == b.texts; }
    friend size_t qHash(const TextsKey& key, size_t seed = 0)
    {
        return qHashMulti(seed, key.texts[0], key.texts[1], key.texts[2]);
    }
};

bool g_leaveRows = false;
// Reachable from here until the process ends, so that leak checkers do not count the rows left.
std::vector<std::vector<Entry>>* g_rowsLeft = nullptr;

size_t rowOfStep(int step)
{
    return static_cast<size_t>(step < 0 ? -step - 1 : step);
}

} // namespace

ListModel::ListModel(const QStringList& headers, QObject* parent)
    : QAbstractTableModel(parent)
    , m_headers(headers)
{
    Q_ASSERT(!headers.isEmpty() && headers.size() <= Entry::kMaxSubItems + 1);
}

ListModel::~ListModel()
{
    dispose(std::move(m_rows));
}

void ListModel::dispose(std::vector<Entry>&& rows)
{
    if (!g_leaveRows || rows.empty()) {
        std::vector<Entry>().swap(rows);
        return;
    }
    if (!g_rowsLeft)
        g_rowsLeft = new std::vector<std::vector<Entry>>;
    g_rowsLeft->push_back(std::move(rows));
}

void ListModel::leaveRowsToProcessEnd(bool leave)
{
    g_leaveRows = leave;
}

void ListModel::freeRowsLeft()
{
    delete g_rowsLeft;
    g_rowsLeft = nullptr;
}

Entry ListModel::makeEntry(const QString& caption, const QStringList& subItems) const
{
    Entry entry;
    entry.caption = storable(caption);
    const int n = std::min(static_cast<int>(subItems.size()), subItemCount());
    for (int i = 0; i < n; ++i)
        entry.subItems[static_cast<size_t>(i)] = storable(subItems[i]);
    return entry;
}

int ListModel::append(const QString& caption, const QStringList& subItems)
{
    const int row = count();
    insertAt(row, makeEntry(caption, subItems));
    return row;
}

void ListModel::insertAt(int row, Entry&& entry)
{
    Q_ASSERT(row >= 0 && row <= count());
    beginInsertRows({}, row, row);
    m_rows.insert(m_rows.begin() + row, std::move(entry));
    endInsertRows();
}

Entry ListModel::takeAt(int row)
{
    Q_ASSERT(row >= 0 && row < count());
    beginRemoveRows({}, row, row);
    Entry taken = std::move(m_rows[static_cast<size_t>(row)]);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    return taken;
}

Entry ListModel::replaceAt(int row, Entry&& entry)
{
    Q_ASSERT(row >= 0 && row < count());
    std::swap(m_rows[static_cast<size_t>(row)], entry);
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1), { Qt::DisplayRole, Qt::EditRole });
    return std::move(entry);
}

void ListModel::swapSubItems(int first, int last, SubItemTable& table)
{
    first = std::max(first, 0);
    last = std::min(last, subItemCount() - 1);
    const auto keyOf = [first, last](const std::array<QString, Entry::kMaxSubItems>& texts) {
        TextsKey key;
        for (int i = first; i <= last; ++i)
            key.texts[static_cast<size_t>(i)] = texts[static_cast<size_t>(i)].constData();
        return key;
    };
    const auto same = [first, last](const std::array<QString, Entry::kMaxSubItems>& a,
                          const std::array<QString, Entry::kMaxSubItems>& b) {
        for (int i = first; i <= last; ++i) {
            const QString& x = a[static_cast<size_t>(i)];
            const QString& y = b[static_cast<size_t>(i)];
            if (x.constData() != y.constData() || x.size() != y.size())
                return false;
        }
        return true;
    };
    // Texts told apart by where they are stored: rows that share their strings share one entry of the table. Every
    // string looked at is held by the table or a row until the end, so no address is reused meanwhile.
    QHash<TextsKey, quint32> known;
    known.reserve(static_cast<qsizetype>(table.texts.size()) * 2);
    for (size_t i = 0; i < table.texts.size(); ++i)
        known.insert(keyOf(table.texts[i]), static_cast<quint32>(i));
    int top = count();
    int bottom = -1;
    for (SubItemTable::Row& held : table.rows) {
        if (held.row < 0 || held.row >= count() || held.texts >= table.texts.size())
            continue;
        Entry& entry = m_rows[static_cast<size_t>(held.row)];
        quint32& slot = known[keyOf(entry.subItems)];
        if (slot >= table.texts.size() || !same(table.texts[slot], entry.subItems)) {
            slot = static_cast<quint32>(table.texts.size());
            table.texts.push_back(entry.subItems);
        }
        const quint32 former = slot;
        for (int i = first; i <= last; ++i)
            entry.subItems[static_cast<size_t>(i)] = table.texts[held.texts][static_cast<size_t>(i)];
        held.texts = former;
        top = std::min(top, held.row);
        bottom = std::max(bottom, held.row);
    }
    // One signal for the whole range: a signal per row would redraw and recount the list half a million times.
    if (bottom >= 0 && first <= last)
        Q_EMIT dataChanged(index(top, first + 1), index(bottom, last + 1), { Qt::DisplayRole });
}

std::vector<Entry> ListModel::takeFrom(int row)
{
    Q_ASSERT(row >= 0 && row <= count());
    if (row == count())
        return {};
    beginRemoveRows({}, row, count() - 1);
    std::vector<Entry> taken(std::make_move_iterator(m_rows.begin() + row), std::make_move_iterator(m_rows.end()));
    m_rows.erase(m_rows.begin() + row, m_rows.end());
    endRemoveRows();
    return taken;
}

std::vector<Entry> ListModel::replaceAll(std::vector<Entry>&& rows)
{
    beginResetModel();
    std::swap(m_rows, rows);
    endResetModel();
    return std::move(rows);
}

void ListModel::appendAll(std::vector<Entry>&& entries)
{
    if (entries.empty())
        return;
    const int first = count();
    beginInsertRows({}, first, first + static_cast<int>(entries.size()) - 1);
    if (m_rows.empty()) {
        m_rows = std::move(entries);
    } else {
        if (m_rows.capacity() < m_rows.size() + entries.size())
            m_rows.reserve(capacityFor(m_rows.size() + entries.size()));
        m_rows.insert(m_rows.end(), std::make_move_iterator(entries.begin()), std::make_move_iterator(entries.end()));
    }
    endInsertRows();
}

void ListModel::deleteAt(int row)
{
    if (row >= 0 && row < count())
        takeAt(row);
}

void ListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    endResetModel();
}

void ListModel::prefetchTexts(int row) const
{
    if (row < 0 || row >= count())
        return;
#if defined(__GNUC__) || defined(__clang__)
    const Entry& entry = entryAt(row);
    __builtin_prefetch(entry.caption.constData());
    for (const QString& text : entry.subItems)
        __builtin_prefetch(text.constData());
#endif
}

void ListModel::setCaption(int row, const QString& text)
{
    if (row < 0 || row >= count())
        return;
    m_rows[static_cast<size_t>(row)].caption = storable(text);
    const QModelIndex changed = index(row, 0);
    Q_EMIT dataChanged(changed, changed, { Qt::DisplayRole, Qt::EditRole });
}

QString ListModel::subItem(int row, int index) const
{
    if (row < 0 || row >= count() || index < 0 || index >= subItemCount())
        return {};
    return entryAt(row).subItems[static_cast<size_t>(index)];
}

void ListModel::setSubItem(int row, int index, const QString& text)
{
    if (row < 0 || row >= count() || index < 0 || index >= subItemCount())
        return;
    m_rows[static_cast<size_t>(row)].subItems[static_cast<size_t>(index)] = storable(text);
    const QModelIndex changed = this->index(row, index + 1);
    Q_EMIT dataChanged(changed, changed, { Qt::DisplayRole });
}

QString ListModel::storable(QString text)
{
    if (text.contains(u'\r') || text.contains(QChar(0x1A))) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        text.replace(u'\r', u' ');
        text.remove(QChar(0x1A));
    }
    return text;
}

void ListModel::applyOrder(const std::vector<int>& newOrder)
{
    Q_ASSERT(newOrder.size() == m_rows.size());
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    const size_t n = newOrder.size();
    // Permuted in place, cycle by cycle: a second vector of a million entries would cost more to allocate than
    // the move. The walk is planned first, so that each entry can be fetched well before it is moved.
    const std::vector<int> walk = cycleWalk(newOrder);
    constexpr size_t kFetchAhead = 16;
    Entry held;
    for (size_t step = 0; step < walk.size(); ++step) {
        if (step + kFetchAhead < walk.size())
            prefetch(&m_rows[rowOfStep(walk[step + kFetchAhead])]);
        const size_t row = rowOfStep(walk[step]);
        if (walk[step] < 0) {
            // A cycle starts: its first row is overwritten first, so it waits aside until the cycle closes.
            if (step > 0)
                m_rows[rowOfStep(walk[step - 1])] = std::move(held);
            held = std::move(m_rows[row]);
        }
        if (step + 1 < walk.size() && walk[step + 1] >= 0)
            m_rows[row] = std::move(m_rows[static_cast<size_t>(walk[step + 1])]);
    }
    if (!walk.empty())
        m_rows[rowOfStep(walk.back())] = std::move(held);

    const QModelIndexList before = persistentIndexList();
    std::vector<int> newRowOf(before.isEmpty() ? 0 : n);
    for (size_t i = 0; i < newRowOf.size(); ++i)
        newRowOf[static_cast<size_t>(newOrder[i])] = static_cast<int>(i);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& idx : before)
        after.append(index(newRowOf[static_cast<size_t>(idx.row())], idx.column()));
    changePersistentIndexList(before, after);

    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QString ListModel::text(const Entry& entry, int column) const
{
    return column == 0 ? entry.caption : entry.subItems[static_cast<size_t>(column - 1)];
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Entry& entry = entryAt(index.row());
    if (m_hints && index.column() == m_hintColumn && role != Qt::DisplayRole && role != Qt::EditRole) {
        if (QVariant hint = m_hints(index.row(), role); hint.isValid())
            return hint;
    }
    if (m_isTicked && (role == Qt::CheckStateRole || role == Qt::ForegroundRole || role == Qt::FontRole)) {
        const bool ticked = m_isTicked(index.row());
        if (role == Qt::CheckStateRole)
            return index.column() == 0 ? QVariant(ticked ? Qt::Checked : Qt::Unchecked) : QVariant();
        if (!ticked)
            return {};
        if (role == Qt::ForegroundRole)
            return QColor(Qt::gray);
        QFont struck;
        struck.setStrikeOut(true);
        return struck;
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(entry, index.column());
    case Qt::DecorationRole:
        if (index.column() == 0 && !m_icon.isNull())
            return m_icon;
        return {};
    default:
        return {};
    }
}

void ListModel::setCellHints(int column, CellHints hints)
{
    m_hintColumn = column;
    m_hints = std::move(hints);
}

void ListModel::setTickBoxes(TickQuery isTicked, TickSetter setTicked)
{
    m_isTicked = std::move(isTicked);
    m_setTicked = std::move(setTicked);
}

void ListModel::ticksChanged(int first, int last)
{
    if (first > last || count() == 0)
        return;
    Q_EMIT dataChanged(
        index(first, 0), index(last, columnCount() - 1), { Qt::CheckStateRole, Qt::ForegroundRole, Qt::FontRole });
}

bool ListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role == Qt::CheckStateRole && m_setTicked && index.column() == 0
        && checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        m_setTicked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
        return true;
    }
    if (role != Qt::EditRole || index.column() != 0
        || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    setCaption(index.row(), value.toString());
    return true;
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_headers.size())
        return m_headers[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0)
        f |= Qt::ItemIsEditable;
    if (index.column() == 0 && m_isTicked)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

} // namespace korbana
