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

std::vector<int> identityOrder(int count)
{
    std::vector<int> order(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        order[static_cast<size_t>(i)] = i;
    return order;
}

// The place of each entry's text in the collation order of the list's distinct texts: equal ranks for texts
// the collator finds equal. Entries then compare as integers, and each distinct text is keyed only once.
std::vector<int> textRanks(const ListModel& list, int field)
{
    const size_t n = static_cast<size_t>(list.count());
    QHash<QStringView, int> idOfText;
    std::vector<QStringView> texts;
    std::vector<int> ranks(n);
    for (size_t row = 0; row < n; ++row) {
        const QStringView text = fieldText(list.entryAt(static_cast<int>(row)), field);
        auto it = idOfText.constFind(text);
        if (it == idOfText.cend()) {
            it = idOfText.insert(text, static_cast<int>(texts.size()));
            texts.push_back(text);
        }
        ranks[row] = *it;
    }

    const QCollator& collator = textCollator();
    std::vector<TextKey> keys;
    keys.reserve(texts.size());
    for (const QStringView text : texts)
        keys.emplace_back(collator, text);
    std::vector<int> byKey = identityOrder(static_cast<int>(texts.size()));
    mergeSort(byKey, [&](int a, int b) { return keys[static_cast<size_t>(a)].compare(keys[static_cast<size_t>(b)]); });

    std::vector<int> rankOfId(texts.size());
    int rank = 0;
    for (size_t i = 0; i < byKey.size(); ++i) {
        const size_t id = static_cast<size_t>(byKey[i]);
        if (i > 0 && keys[static_cast<size_t>(byKey[i - 1])].compare(keys[id]) != 0)
            ++rank;
        rankOfId[id] = rank;
    }
    for (int& r : ranks)
        r = rankOfId[static_cast<size_t>(r)];
    return ranks;
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
        // A number read is always finite, so NaN can stand for "no number" in half the room of an optional.
        const QString sep = decimalSeparator();
        std::vector<double> keys;
        keys.reserve(order.size());
        for (int row = 0; row < list.count(); ++row)
            keys.push_back(numberKey(list.entryAt(row), *rule, sep).value_or(kNoNumber));
        mergeSort(order, [&](int a, int b) {
            return compareKeys(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)], flag);
        });
        return order;
    }

    const std::vector<int> mainRanks = textRanks(list, rule->mainField);
    const std::vector<int> tieRanks = rule->tieField < 0 ? std::vector<int>() : textRanks(list, rule->tieField);
    mergeSort(order, [&](int a, int b) {
        if (flag)
            std::swap(a, b);
        const size_t i = static_cast<size_t>(a);
        const size_t j = static_cast<size_t>(b);
        if (mainRanks[i] != mainRanks[j] || tieRanks.empty())
            return sign(mainRanks[i] - mainRanks[j]);
        return sign(tieRanks[i] - tieRanks[j]);
    });
    return order;
}

} // namespace korbana
