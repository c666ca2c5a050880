#pragma once

#include "document/ListMerge.h"

#include <QHash>
#include <QString>

#include <algorithm>
#include <vector>

// What a three-way merge of one list must give, whatever the two sides did: checked by the randomised merge test
// and by the merge's fuzz target.
namespace korbana::mergecheck {

inline QString key(const Entry& entry)
{
    return entry.caption + u'\x1f' + entry.subItems[0] + u'\x1f' + entry.subItems[1] + u'\x1f' + entry.subItems[2];
}

inline QHash<QString, int> counts(const std::vector<Entry>& list)
{
    QHash<QString, int> result;
    for (const Entry& entry : list)
        ++result[key(entry)];
    return result;
}

inline bool unique(const std::vector<Entry>& list)
{
    return counts(list).size() == static_cast<qsizetype>(list.size());
}

// The entries of list whose records also stand in other, in list's order.
inline std::vector<QString> keptFrom(const std::vector<Entry>& list, const QHash<QString, int>& other)
{
    std::vector<QString> result;
    for (const Entry& entry : list) {
        if (other.contains(key(entry)))
            result.push_back(key(entry));
    }
    return result;
}

// Empty when the merge kept its promises, else the one it broke:
// - each record is there as often as the base had it, plus what the sides added (the more of the two when both
//   added, both when one added and the other removed), less what they removed (the more of the two);
// - our order stands: the records of ours in the result come in ours' order (records unique on our side);
// - a change made on one side alone comes through exactly as that side made it.
inline QString broken(const std::vector<Entry>& base, const std::vector<Entry>& ours, const std::vector<Entry>& theirs,
    const std::vector<Entry>& merged)
{
    const QHash<QString, int> b = counts(base), o = counts(ours), t = counts(theirs), m = counts(merged);
    QHash<QString, int> all = b;
    all.insert(o);
    all.insert(t);
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        const int inBase = b.value(it.key()), byOurs = o.value(it.key()) - inBase,
                  byTheirs = t.value(it.key()) - inBase;
        const int change = byOurs >= 0 && byTheirs >= 0 ? std::max(byOurs, byTheirs)
            : byOurs <= 0 && byTheirs <= 0              ? std::min(byOurs, byTheirs)
                                                        : byOurs + byTheirs;
        if (m.value(it.key()) != inBase + change)
            return QStringLiteral("count of %1: %2 instead of %3")
                .arg(it.key())
                .arg(m.value(it.key()))
                .arg(inBase + change);
    }
    if (m.size() > all.size())
        return QStringLiteral("a record that neither version holds");
    if (unique(ours) && unique(merged) && keptFrom(merged, o) != keptFrom(ours, m))
        return QStringLiteral("our order changed");
    const auto same = [](const std::vector<Entry>& x, const std::vector<Entry>& y) {
        return std::equal(
            x.begin(), x.end(), y.begin(), y.end(), [](const Entry& a, const Entry& c) { return key(a) == key(c); });
    };
    if (same(theirs, base) && !same(merged, ours))
        return QStringLiteral("our change alone did not come through exactly");
    if (same(ours, base) && unique(base) && unique(theirs) && !same(merged, theirs))
        return QStringLiteral("their change alone did not come through exactly");
    return {};
}

} // namespace korbana::mergecheck
