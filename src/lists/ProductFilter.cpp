#include "ProductFilter.h"

#include "ListModel.h"

#include <algorithm>
#include <string_view>

namespace korbana {

namespace {

// Ends a name or a shop in the search index; folded search texts never hold it.
constexpr char16_t kSeparator = u'\x01';

// How an umlaut or ß is written out, or null for any other character.
const char* spelledOut(char16_t u)
{
    switch (u) {
    case u'ä':
    case u'Ä':
        return "ae";
    case u'ö':
    case u'Ö':
        return "oe";
    case u'ü':
    case u'Ü':
        return "ue";
    case u'ß':
    case u'ẞ':
        return "ss";
    default:
        return nullptr;
    }
}

char16_t asciiLower(char16_t u)
{
    return u >= u'A' && u <= u'Z' ? u + (u'a' - u'A') : u;
}

void appendFolded(QString& out, QStringView text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80)
            out.append(QChar(asciiLower(u)));
        else if (const char* spelling = spelledOut(u))
            out.append(QLatin1String(spelling));
        else
            out.append(c.toLower());
    }
}

// The same folding written as UTF-8, byte for byte what QString::toUtf8() makes of the folded text: plain ASCII,
// the bulk of any catalogue, goes straight in, so the index of a long catalogue is made in one quick pass.
void appendFoldedUtf8(std::string& out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80) {
            out.push_back(static_cast<char>(asciiLower(u)));
        } else if (const char* spelling = spelledOut(u)) {
            out.append(spelling);
        } else {
            // A run of other characters goes the long way at once, so a surrogate pair stays whole.
            qsizetype end = i + 1;
            while (end < text.size() && text[end].unicode() >= 0x80 && !spelledOut(text[end].unicode()))
                ++end;
            QString folded;
            appendFolded(folded, text.mid(i, end - i));
            const QByteArray bytes = folded.toUtf8();
            out.append(bytes.constData(), static_cast<size_t>(bytes.size()));
            i = end - 1;
        }
    }
}

} // namespace

QString foldForSearch(QStringView text)
{
    QString folded;
    folded.reserve(text.size());
    appendFolded(folded, text);
    return folded;
}

ProductFilter::ProductFilter(QObject* parent)
    : QSortFilterProxyModel(parent)
{
    // The rows stay in the list model's order; the model sorts itself.
    setDynamicSortFilter(false);
}

void ProductFilter::setSourceModel(QAbstractItemModel* model)
{
    if (sourceModel())
        disconnect(sourceModel(), nullptr, this, nullptr);
    // Any change of the rows makes the index stale before the proxy looks at the changed rows.
    if (model) {
        for (const auto signal :
            { &QAbstractItemModel::rowsAboutToBeInserted, &QAbstractItemModel::rowsAboutToBeRemoved })
            connect(model, signal, this, &ProductFilter::forgetIndex);
        connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, &ProductFilter::forgetIndex);
        connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &ProductFilter::forgetIndex);
        connect(model, &QAbstractItemModel::dataChanged, this, &ProductFilter::forgetIndex);
    }
    forgetIndex();
    QSortFilterProxyModel::setSourceModel(model);
}

void ProductFilter::setSearchText(const QString& text)
{
    if (text == m_searchText)
        return;
    m_searchText = text;
    m_foldedSearch = korbana::foldForSearch(text).remove(QChar(kSeparator));
    if (m_foldedSearch.isEmpty()) {
        // No search: the memory of the index goes back.
        forgetIndex();
    } else {
        if (!m_indexValid)
            buildIndex();
        findMatches();
    }
    // Worked out afresh rather than row by row: between two searches of a long list the rows that come and go
    // lie scattered, and announcing each stretch of them costs far more than one new mapping.
    invalidate();
}

void ProductFilter::forgetIndex()
{
    m_indexValid = false;
    m_index = std::string();
    m_rowStarts = {};
    m_rowMatches = {};
}

void ProductFilter::buildIndex()
{
    const auto* products = static_cast<const ListModel*>(sourceModel());
    const int count = products ? products->count() : 0;
    m_index.clear();
    size_t length = 0;
    for (int row = 0; row < count; ++row)
        length
            += static_cast<size_t>(products->entryAt(row).caption.size() + products->entryAt(row).subItems[0].size());
    // Umlauts written out take a little more.
    m_index.reserve(length + length / 8 + 2 * static_cast<size_t>(count));
    m_rowStarts.clear();
    m_rowStarts.reserve(static_cast<size_t>(count) + 1);
    for (int row = 0; row < count; ++row) {
        const Entry& entry = products->entryAt(row);
        m_rowStarts.push_back(static_cast<std::uint32_t>(m_index.size()));
        appendFoldedUtf8(m_index, entry.caption);
        m_index.push_back(static_cast<char>(kSeparator));
        appendFoldedUtf8(m_index, entry.subItems[0]);
        m_index.push_back(static_cast<char>(kSeparator));
    }
    m_rowStarts.push_back(static_cast<std::uint32_t>(m_index.size()));
    m_indexValid = true;
}

void ProductFilter::findMatches()
{
    const size_t rows = m_rowStarts.size() - 1;
    m_rowMatches.assign(rows, false);
    const QByteArray needle = m_foldedSearch.toUtf8();
    const std::string_view wanted(needle.constData(), static_cast<size_t>(needle.size()));
    size_t from = 0;
    for (;;) {
        const size_t at = m_index.find(wanted, from);
        if (at == std::string::npos)
            break;
        // The row whose text holds the hit; its rest need not be searched.
        const auto next = std::upper_bound(m_rowStarts.cbegin(), m_rowStarts.cend(), static_cast<std::uint32_t>(at));
        m_rowMatches[static_cast<size_t>(next - m_rowStarts.cbegin() - 1)] = true;
        from = *next;
    }
}

bool ProductFilter::matches(QStringView name, QStringView shop) const
{
    if (m_foldedSearch.isEmpty())
        return true;
    for (const QStringView text : { name, shop }) {
        m_foldBuffer.clear();
        appendFolded(m_foldBuffer, text);
        if (m_foldBuffer.contains(m_foldedSearch))
            return true;
    }
    return false;
}

bool ProductFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    if (m_indexValid && static_cast<size_t>(sourceRow) < m_rowMatches.size())
        return m_rowMatches[static_cast<size_t>(sourceRow)];
    // Rows that arrived or changed since the last search are read one by one.
    const auto* products = static_cast<const ListModel*>(sourceModel());
    const Entry& entry = products->entryAt(sourceRow);
    return matches(entry.caption, entry.subItems[0]);
}

} // namespace korbana
