#include "ListSort.h"

#include "ListModel.h"
#include "ListTexts.h"

#include <QCollatorSortKey>
#include <QHash>
#include <QLocale>

#include <cmath>
#include <limits>

namespace korbana {

namespace {

// Which texts of an entry a column sorts by. Field 0 is the caption, field k the sub-item k - 1.
struct Rule
{
    bool number = false;
    int mainField = 0;
    int tieField = -1; // -1: no tie-break
    bool leadingAmount = false; // price texts sort by the amount before the currency word
};

std::optional<Rule> ruleFor(ListKind kind, int column)
{
    switch (kind) {
    case ListKind::Stores:
        if (column == 0)
            return Rule { false, 0, -1, false };
        break;
    case ListKind::Products:
        switch (column) {
        case 0:
            return Rule { false, 0, 1, false };
        case 1:
            return Rule { false, 1, 0, false };
        case 2:
            return Rule { true, 2, -1, true };
        }
        break;
    case ListKind::Shopping:
        switch (column) {
        case 0:
            return Rule { true, 0, -1, false };
        case 1:
            return Rule { false, 1, 2, false };
        case 2:
            return Rule { false, 2, 1, false };
        case 3:
            return Rule { true, 3, -1, true };
        }
        break;
    }
    return std::nullopt;
}

QStringView fieldText(const Entry& entry, int field)
{
    return field == 0 ? QStringView(entry.caption) : QStringView(entry.subItems[static_cast<size_t>(field - 1)]);
}

std::optional<double> numberKey(const Entry& entry, const Rule& rule, QStringView decimalSep)
{
    const QStringView text = fieldText(entry, rule.mainField);
    return readNumber(rule.leadingAmount ? korbana::leadingAmount(text) : text, decimalSep);
}

constexpr double kNoNumber = std::numeric_limits<double>::quiet_NaN();

// compareNumbers on keys where NaN stands for a text that is no number.
int compareKeys(double a, double b, bool flag)
{
    if (std::isnan(a) || std::isnan(b))
        return 1;
    if (a == b)
        return 0;
    return (a < b) != flag ? 1 : -1;
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

// A folded text as the collator orders it, made once per entry and sort.
class TextKey
{
public:
    TextKey(const QCollator& collator, QStringView text)
        : m_key(collator.sortKey(foldText(text)))
        , m_empty(text.isEmpty())
    {
    }

    // QCollator::compare puts an empty text before every other, whatever the collation says of it.
    int compare(const TextKey& other) const
    {
        if (m_empty || other.m_empty)
            return int(other.m_empty) - int(m_empty);
        return sign(m_key.compare(other.m_key));
    }

private:
    QCollatorSortKey m_key;
    bool m_empty;
};

// Each row's place among the distinct values of a column: equal values, equal ranks; 0 goes first.
struct Ranks
{
    std::vector<int> ofRow;
    int count = 0;
};

// Stably orders `order` by the rows' ranks, in linear time: a counting sort. Descending puts high ranks first.
void sortByRank(std::vector<int>& order, const Ranks& ranks, bool descending)
{
    const auto bucketOf = [&](int row) {
        const int rank = ranks.ofRow[static_cast<size_t>(row)];
        return static_cast<size_t>(descending ? ranks.count - 1 - rank : rank);
    };
    std::vector<size_t> next(static_cast<size_t>(ranks.count) + 1);
    for (const int row : order)
        ++next[bucketOf(row) + 1];
    for (size_t b = 1; b < next.size(); ++b)
        next[b] += next[b - 1];
    std::vector<int> sorted(order.size());
    for (const int row : order)
        sorted[next[bucketOf(row)]++] = row;
    order.swap(sorted);
}

// Ranks from ids: idOfRow names each row's value, values[id] orders them by `before`, `same` finds equal ones.
template<class Value, class Before, class Same>
Ranks ranksOfIds(std::vector<int>&& idOfRow, const std::vector<Value>& values, Before before, Same same)
{
    std::vector<int> byValue(values.size());
    for (size_t id = 0; id < byValue.size(); ++id)
        byValue[id] = static_cast<int>(id);
    std::stable_sort(byValue.begin(), byValue.end(),
        [&](int a, int b) { return before(values[static_cast<size_t>(a)], values[static_cast<size_t>(b)]); });
    std::vector<int> rankOfId(values.size());
    int rank = 0;
    for (size_t i = 0; i < byValue.size(); ++i) {
        const size_t id = static_cast<size_t>(byValue[i]);
        if (i > 0 && !same(values[static_cast<size_t>(byValue[i - 1])], values[id]))
            ++rank;
        rankOfId[id] = rank;
    }
    for (int& r : idOfRow)
        r = rankOfId[static_cast<size_t>(r)];
    return { std::move(idOfRow), values.empty() ? 0 : rank + 1 };
}

std::vector<int> identityOrder(int count)
{
    std::vector<int> order(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        order[static_cast<size_t>(i)] = i;
    return order;
}

// The place of each entry's text in the collation order of the list's distinct texts: equal ranks for texts
// the collator finds equal. Each distinct text is keyed only once.
Ranks textRanks(const ListModel& list, int field)
{
    const size_t n = static_cast<size_t>(list.count());
    QHash<QStringView, int> idOfText;
    std::vector<QStringView> texts;
    std::vector<int> ids(n);
    for (size_t row = 0; row < n; ++row) {
        const QStringView text = fieldText(list.entryAt(static_cast<int>(row)), field);
        auto it = idOfText.constFind(text);
        if (it == idOfText.cend()) {
            it = idOfText.insert(text, static_cast<int>(texts.size()));
            texts.push_back(text);
        }
        ids[row] = *it;
    }

    const QCollator& collator = textCollator();
    std::vector<TextKey> keys;
    keys.reserve(texts.size());
    for (const QStringView text : texts)
        keys.emplace_back(collator, text);
    return ranksOfIds(
        std::move(ids), keys, [](const TextKey& a, const TextKey& b) { return a.compare(b) < 0; },
        [](const TextKey& a, const TextKey& b) { return a.compare(b) == 0; });
}

// The number keys of a column (NaN: no number), read once per shared string: texts loaded from a file that
// repeat share one string, so most rows of a long list find their text already read.
struct NumberKeys
{
    std::vector<int> idOfRow;
    std::vector<double> values;
};

NumberKeys numberKeys(const ListModel& list, const Rule& rule)
{
    // Beyond this many remembered strings the texts hardly repeat, and each row is read on its own.
    constexpr int kMaxRemembered = 1 << 14;
    const QString sep = decimalSeparator();
    NumberKeys keys;
    keys.idOfRow.resize(static_cast<size_t>(list.count()));
    QHash<const QChar*, int> idOfString;
    for (int row = 0; row < list.count(); ++row) {
        const Entry& entry = list.entryAt(row);
        const QChar* string = fieldText(entry, rule.mainField).data();
        const auto known = idOfString.constFind(string);
        int id = known == idOfString.cend() ? -1 : *known;
        if (id < 0) {
            id = static_cast<int>(keys.values.size());
            keys.values.push_back(numberKey(entry, rule, sep).value_or(kNoNumber));
            if (idOfString.size() < kMaxRemembered)
                idOfString.insert(string, id);
        }
        keys.idOfRow[static_cast<size_t>(row)] = id;
    }
    return keys;
}

} // namespace

QString foldText(QStringView text)
{
    QString folded = text.toString();
    for (QChar& c : folded) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return folded;
}

const QCollator& textCollator()
{
    thread_local QLocale locale;
    thread_local QCollator collator = [] {
        QCollator c(locale);
        c.setCaseSensitivity(Qt::CaseSensitive);
        return c;
    }();
    const QLocale current;
    if (current != locale) {
        locale = current;
        collator = QCollator(current);
        collator.setCaseSensitivity(Qt::CaseSensitive);
    }
    return collator;
}

int compareFolded(QStringView a, QStringView b)
{
    return sign(textCollator().compare(foldText(a), foldText(b)));
}

int compareNumbers(std::optional<double> a, std::optional<double> b, bool flag)
{
    return compareKeys(a.value_or(kNoNumber), b.value_or(kNoNumber), flag);
}

int compareNumbers(QStringView a, QStringView b, bool flag)
{
    const QString sep = decimalSeparator();
    return compareNumbers(readNumber(a, sep), readNumber(b, sep), flag);
}

int compareEntries(ListKind kind, int column, bool flag, const Entry& first, const Entry& second)
{
    const std::optional<Rule> rule = ruleFor(kind, column);
    if (!rule)
        return 0;
    if (rule->number) {
        const QString sep = decimalSeparator();
        return compareNumbers(numberKey(first, *rule, sep), numberKey(second, *rule, sep), flag);
    }
    const auto byField = [&](int field) {
        const QStringView a = fieldText(first, field);
        const QStringView b = fieldText(second, field);
        return flag ? compareFolded(b, a) : compareFolded(a, b);
    };
    const int result = byField(rule->mainField);
    return result != 0 || rule->tieField < 0 ? result : byField(rule->tieField);
}

std::vector<int> sortOrder(ListKind kind, int column, bool flag, const ListModel& list)
{
    std::vector<int> order = identityOrder(list.count());
    const std::optional<Rule> rule = ruleFor(kind, column);
    if (!rule)
        return order;

    if (rule->number) {
        NumberKeys keys = numberKeys(list, *rule);
        if (std::any_of(keys.values.begin(), keys.values.end(), [](double v) { return std::isnan(v); })) {
            // A text that is no number compares inconsistently: only the merge sort's own answer will do.
            mergeSort(order, [&](int a, int b) {
                return compareKeys(keys.values[static_cast<size_t>(keys.idOfRow[static_cast<size_t>(a)])],
                    keys.values[static_cast<size_t>(keys.idOfRow[static_cast<size_t>(b)])], flag);
            });
            return order;
        }
        // Every pair compares consistently, so any stable sort gives the merge sort's order.
        const Ranks ranks = ranksOfIds(
            std::move(keys.idOfRow), keys.values, [](double a, double b) { return a < b; },
            [](double a, double b) { return a == b; });
        // The flag false puts the largest number first.
        sortByRank(order, ranks, !flag);
        return order;
    }

    // Sorted by the tie-break first, then stably by the main text: the main text decides, the tie-break the rest.
    if (rule->tieField >= 0)
        sortByRank(order, textRanks(list, rule->tieField), flag);
    sortByRank(order, textRanks(list, rule->mainField), flag);
    return order;
}

} // namespace korbana
