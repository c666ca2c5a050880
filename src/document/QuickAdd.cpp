#include "QuickAdd.h"

#include "lists/ListModel.h"
#include "lists/ProductFilter.h"

#include <QSet>

#include <algorithm>

namespace korbana {

QuickAdd::Line QuickAdd::parse(const QString& text)
{
    const QString line = text.trimmed();
    qsizetype end = 0;
    while (end < line.size() && (line[end].isDigit() || line[end] == u',' || line[end] == u'.'))
        ++end;
    // "2 milch", "1,5 mehl"; a number alone is a name ("4711"), as is a name that begins with digits ("7up").
    if (end > 0 && line[0].isDigit() && end < line.size() && line[end].isSpace()) {
        const QString name = line.mid(end).trimmed();
        if (!name.isEmpty())
            return { line.left(end), name, true };
    }
    return { QStringLiteral("1"), line };
}

ProductNames::ProductNames(const ListModel& products)
    : m_products(products)
{
}

void ProductNames::build() const
{
    m_valid = true;
    m_names.clear();
    QSet<QString> seen;
    for (int row = 0; row < m_products.count(); ++row) {
        const QString& name = m_products.entryAt(row).caption;
        if (!name.trimmed().isEmpty() && !seen.contains(name)) {
            seen.insert(name);
            m_names.emplace_back(foldForSearch(name), name);
        }
    }
    std::sort(m_names.begin(), m_names.end());
}

size_t ProductNames::firstFrom(const QString& folded) const
{
    if (!m_valid)
        build();
    const auto first = std::lower_bound(m_names.begin(), m_names.end(), folded,
        [](const std::pair<QString, QString>& entry, const QString& key) { return entry.first < key; });
    return static_cast<size_t>(first - m_names.begin());
}

QStringList ProductNames::suggestions(QStringView typedName, int limit) const
{
    const QString folded = foldForSearch(typedName.trimmed());
    QStringList result;
    if (folded.isEmpty())
        return result;
    for (size_t i = firstFrom(folded); i < m_names.size() && result.size() < limit; ++i) {
        if (!m_names[i].first.startsWith(folded))
            break;
        result.append(m_names[i].second);
    }
    return result;
}

std::vector<int> ProductNames::rowsNamed(QStringView name) const
{
    std::vector<int> rows;
    const QString folded = foldForSearch(name.trimmed());
    if (folded.isEmpty())
        return rows;
    QSet<QString> spellings;
    for (size_t i = firstFrom(folded); i < m_names.size() && m_names[i].first == folded; ++i)
        spellings.insert(m_names[i].second);
    if (spellings.isEmpty())
        return rows;
    for (int row = 0; row < m_products.count(); ++row) {
        if (spellings.contains(m_products.entryAt(row).caption))
            rows.push_back(row);
    }
    return rows;
}

} // namespace korbana
