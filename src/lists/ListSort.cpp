#include "ListSort.h"

#include "ListModel.h"
#include "ListTexts.h"

#include <QCollatorSortKey>
#include <QLocale>

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

std::optional<double> numberKey(const Entry& entry, const Rule& rule)
{
    const QStringView text = fieldText(entry, rule.mainField);
    return readNumber(rule.leadingAmount ? korbana::leadingAmount(text) : text);
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

std::vector<TextKey> textKeys(const ListModel& list, int field)
{
    const QCollator& collator = textCollator();
    std::vector<TextKey> keys;
    keys.reserve(static_cast<size_t>(list.count()));
    for (int row = 0; row < list.count(); ++row)
        keys.emplace_back(collator, fieldText(list.entryAt(row), field));
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
    if (!a || !b)
        return 1;
    if (*a == *b)
        return 0;
    return (*a < *b) != flag ? 1 : -1;
}

int compareNumbers(QStringView a, QStringView b, bool flag)
{
    const std::optional<double> first = readNumber(a);
    const std::optional<double> second = readNumber(b);
    return compareNumbers(first, second, flag);
}

int compareEntries(ListKind kind, int column, bool flag, const Entry& first, const Entry& second)
{
    const std::optional<Rule> rule = ruleFor(kind, column);
    if (!rule)
        return 0;
    if (rule->number)
        return compareNumbers(numberKey(first, *rule), numberKey(second, *rule), flag);
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
        std::vector<std::optional<double>> keys;
        keys.reserve(order.size());
        for (int row = 0; row < list.count(); ++row)
            keys.push_back(numberKey(list.entryAt(row), *rule));
        mergeSort(order, [&](int a, int b) {
            return compareNumbers(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)], flag);
        });
        return order;
    }

    const std::vector<TextKey> mainKeys = textKeys(list, rule->mainField);
    const std::vector<TextKey> tieKeys = rule->tieField < 0 ? std::vector<TextKey>() : textKeys(list, rule->tieField);
    mergeSort(order, [&](int a, int b) {
        if (flag)
            std::swap(a, b);
        const size_t i = static_cast<size_t>(a);
        const size_t j = static_cast<size_t>(b);
        const int result = mainKeys[i].compare(mainKeys[j]);
        return result != 0 || tieKeys.empty() ? result : tieKeys[i].compare(tieKeys[j]);
    });
    return order;
}

} // namespace korbana
