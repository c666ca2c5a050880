#include "ProductFilter.h"

#include "ListModel.h"

namespace {

void appendFolded(QString& out, QStringView text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            out.append(u >= u'A' && u <= u'Z' ? QChar(u + (u'a' - u'A')) : c);
            continue;
        }
        switch (u) {
        case u'ä':
        case u'Ä':
            out.append(u"ae");
            break;
        case u'ö':
        case u'Ö':
            out.append(u"oe");
            break;
        case u'ü':
        case u'Ü':
            out.append(u"ue");
            break;
        case u'ß':
        case u'ẞ':
            out.append(u"ss");
            break;
        default:
            out.append(c.toLower());
        }
    }
}

} // namespace

QString korbana::foldForSearch(QStringView text)
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

void ProductFilter::setSearchText(const QString& text)
{
    if (text == m_searchText)
        return;
    m_searchText = text;
    m_foldedSearch = korbana::foldForSearch(text);
    invalidateRowsFilter();
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
    const auto* products = static_cast<const ListModel*>(sourceModel());
    const Entry& entry = products->entryAt(sourceRow);
    return matches(entry.caption, entry.subItems[0]);
}
