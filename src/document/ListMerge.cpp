#include "ListMerge.h"

#include <QHash>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <unordered_map>

namespace korbana {

bool sameRecord(const Entry& a, const Entry& b)
{
    return a.caption == b.caption && a.subItems == b.subItems;
}

namespace {

// Every distinct record of the three versions gets a small number; the versions become arrays of them.
using Id = std::uint32_t;
constexpr Id kNoId = std::numeric_limits<Id>::max();

// One occurrence of a record in a version: the record and how many times it came before in that version. The
// k-th occurrence of a record in one version stands for its k-th occurrence in another.
using Occurrence = std::uint64_t;
constexpr Occurrence kNoOccurrence = std::numeric_limits<Occurrence>::max();

Occurrence occurrence(Id id, std::uint32_t ordinal)
{
    return (Occurrence { id } << 32) | ordinal;
}

void prefetchMemory(const void* at)
{
#if defined(__GNUC__)
    __builtin_prefetch(at);
#else
    Q_UNUSED(at);
#endif
}

// Open addressing over record numbers, keyed by the records' prints; a slot keeps part of the print so that most
// probes read no other memory.
class RecordTable
{
public:
    explicit RecordTable(size_t expected)
    {
        size_t capacity = 16;
        while (capacity < expected * 2)
            capacity *= 2;
        m_slots.assign(capacity, Slot {});
        m_mask = capacity - 1;
        m_prints.reserve(expected);
    }

    // A hint that this record is looked up soon: the table is far larger than the caches.
    void prefetch(const RecordPrint& print) const { prefetchMemory(&m_slots[print.first & m_mask]); }

    Id intern(const RecordPrint& print)
    {
        const auto tag = static_cast<std::uint32_t>(print.second);
        for (size_t at = print.first & m_mask;; at = (at + 1) & m_mask) {
            Slot& slot = m_slots[at];
            if (slot.id == kNoId) {
                slot = { tag, static_cast<Id>(m_prints.size()) };
                m_prints.push_back(print);
                if (m_prints.size() * 2 > m_slots.size())
                    grow();
                return static_cast<Id>(m_prints.size() - 1);
            }
            if (slot.tag == tag && m_prints[slot.id] == print)
                return slot.id;
        }
    }

    size_t size() const { return m_prints.size(); }

private:
    struct Slot
    {
        std::uint32_t tag = 0;
        Id id = kNoId;
    };

    void grow()
    {
        std::vector<Slot> old;
        old.swap(m_slots);
        m_slots.assign(old.size() * 2, Slot {});
        m_mask = m_slots.size() - 1;
        for (const Slot& slot : old) {
            if (slot.id == kNoId)
                continue;
            size_t at = m_prints[slot.id].first & m_mask;
            while (m_slots[at].id != kNoId)
                at = (at + 1) & m_mask;
            m_slots[at] = slot;
        }
    }

    std::vector<Slot> m_slots;
    ListPrints m_prints;
    size_t m_mask = 0;
};

// A version as record numbers, and how often it holds each record.
struct Version
{
    std::vector<Id> ids;
    std::vector<std::uint32_t> counts;
};

// Goes through a version in order, with each entry's record and its ordinal.
template<class Fn> void forEachOccurrence(const Version& version, std::vector<std::uint32_t>& seen, Fn&& fn)
{
    std::fill(seen.begin(), seen.end(), 0);
    for (size_t i = 0; i < version.ids.size(); ++i) {
        const Id id = version.ids[i];
        fn(i, id, seen[id]++);
    }
}

// How often the merge holds a record: the changes of both sides to its count, where both sides added (or both
// removed) the same, that is one change, not two.
std::uint32_t mergedCount(std::uint32_t base, std::uint32_t ours, std::uint32_t theirs)
{
    if (ours >= base && theirs >= base)
        return std::max(ours, theirs);
    if (ours <= base && theirs <= base)
        return std::min(ours, theirs);
    return ours + theirs - base;
}

// A base occurrence one side no longer holds, and what that side put in its place (kNoId: nothing).
struct Removal
{
    Occurrence anchor; // the base occurrence before it that the side kept
    Occurrence what;
    Id replacement = kNoId;
};

struct Addition
{
    Occurrence anchor;
    Id id;
};

class Merger
{
public:
    Merger(const ListPrints& base, const std::vector<Entry>& ours, const std::vector<Entry>& theirs)
        : m_ours(ours)
        , m_theirs(theirs)
        , m_table(base.size() + std::max(ours.size(), theirs.size()) / 8 + 16)
    {
        intern(base, nullptr, m_base);
        m_basePlace.assign(m_table.size(), kNoPlace);
        for (size_t i = 0; i < base.size(); ++i)
            m_basePlace[m_base.ids[i]] = static_cast<std::uint32_t>(i);
        intern(printsOf(ours), &base, m_oursIds);
        intern(printsOf(theirs), &base, m_theirsIds);
        for (Version* v : { &m_base, &m_oursIds, &m_theirsIds })
            v->counts.resize(m_table.size(), 0);
        for (Version* v : { &m_base, &m_oursIds, &m_theirsIds })
            for (const Id id : v->ids)
                ++v->counts[id];
        m_seen.resize(m_table.size());
        m_basePlace = {};
    }

    ListMergeResult run()
    {
        ListMergeResult result;
        result.conflictList = conflicts();
        result.conflicts = static_cast<int>(result.conflictList.size());
        result.entries = entries();
        return result;
    }

private:
    // The sides mostly hold the base's entries in the base's order: each entry is first compared with the base
    // entry after the last one found, and only looked up when that is another record. Lookups fetch the table a
    // few entries ahead (a sorted side misses the base's order everywhere).
    void intern(const ListPrints& prints, const ListPrints* base, Version& out)
    {
        constexpr size_t kAhead = 16;
        out.ids.resize(prints.size());
        size_t next = 0; // in the base
        for (size_t i = 0; i < prints.size(); ++i) {
            if (base && next < base->size() && (*base)[next] == prints[i]) {
                out.ids[i] = m_base.ids[next++];
                continue;
            }
            if (i + kAhead < prints.size())
                m_table.prefetch(prints[i + kAhead]);
            const Id id = m_table.intern(prints[i]);
            out.ids[i] = id;
            if (base && id < m_basePlace.size() && m_basePlace[id] != kNoPlace)
                next = m_basePlace[id] + 1;
        }
    }

    std::uint32_t merged(Id id) const
    {
        return mergedCount(m_base.counts[id], m_oursIds.counts[id], m_theirsIds.counts[id]);
    }

    // The base occurrences a side removed, each paired with what the side added in the same gap between kept
    // entries (in order: the first removed with the first added), sorted by occurrence.
    std::vector<Removal> removals(const Version& side)
    {
        std::vector<Removal> removed;
        Occurrence anchor = kNoOccurrence;
        forEachOccurrence(m_base, m_seen, [&](size_t, Id id, std::uint32_t ordinal) {
            if (ordinal < side.counts[id])
                anchor = occurrence(id, ordinal);
            else
                removed.push_back({ anchor, occurrence(id, ordinal), kNoId });
        });
        std::vector<Addition> added;
        anchor = kNoOccurrence;
        forEachOccurrence(side, m_seen, [&](size_t, Id id, std::uint32_t ordinal) {
            if (ordinal < m_base.counts[id])
                anchor = occurrence(id, ordinal);
            else
                added.push_back({ anchor, id });
        });
        const auto byAnchor = [](const auto& a, const auto& b) { return a.anchor < b.anchor; };
        std::stable_sort(removed.begin(), removed.end(), byAnchor);
        std::stable_sort(added.begin(), added.end(), byAnchor);
        auto add = added.begin();
        for (Removal& r : removed) {
            while (add != added.end() && add->anchor < r.anchor)
                ++add;
            if (add != added.end() && add->anchor == r.anchor)
                r.replacement = (add++)->id;
        }
        std::sort(removed.begin(), removed.end(), [](const Removal& a, const Removal& b) { return a.what < b.what; });
        return removed;
    }

    // Base occurrences gone on both sides where the two sides put different things in their place.
    std::vector<MergeConflict> conflicts()
    {
        const std::vector<Removal> ours = removals(m_oursIds);
        const std::vector<Removal> theirs = removals(m_theirsIds);
        std::vector<std::pair<Id, Id>> pairs; // what ours and theirs put in place of the entry
        auto t = theirs.begin();
        for (const Removal& o : ours) {
            while (t != theirs.end() && t->what < o.what)
                ++t;
            if (t != theirs.end() && t->what == o.what && t->replacement != o.replacement)
                pairs.emplace_back(o.replacement, t->replacement);
        }
        std::vector<MergeConflict> found;
        if (pairs.empty())
            return found;
        const std::vector<std::uint32_t> oursFirst = firstPlaces(m_oursIds);
        const std::vector<std::uint32_t> theirsFirst = firstPlaces(m_theirsIds);
        const auto entryOf = [](const std::vector<Entry>& side, const std::vector<std::uint32_t>& first, Id id) {
            return id == kNoId || first[id] == kNoPlace ? std::optional<Entry>() : side[first[id]];
        };
        found.reserve(pairs.size());
        for (const auto& [oursId, theirsId] : pairs)
            found.push_back({ entryOf(m_ours, oursFirst, oursId), entryOf(m_theirs, theirsFirst, theirsId) });
        return found;
    }

    // Where each record first stands in the side.
    std::vector<std::uint32_t> firstPlaces(const Version& side) const
    {
        std::vector<std::uint32_t> first(m_table.size(), kNoPlace);
        for (size_t i = side.ids.size(); i-- > 0;)
            first[side.ids[i]] = static_cast<std::uint32_t>(i);
        return first;
    }

    std::vector<Entry> entries()
    {
        // What theirs holds beyond ours, each placed before the next entry of theirs that ours also holds.
        struct Extra
        {
            Occurrence before;
            size_t index; // in theirs
            size_t oursRow = 0;
        };
        std::vector<Extra> extras;
        size_t waiting = 0; // extras not yet given the entry they go before
        size_t total = 0;
        forEachOccurrence(m_theirsIds, m_seen, [&](size_t i, Id id, std::uint32_t ordinal) {
            if (ordinal < m_oursIds.counts[id]) {
                for (; waiting < extras.size(); ++waiting)
                    extras[waiting].before = occurrence(id, ordinal);
            } else if (ordinal < merged(id)) {
                extras.push_back({ kNoOccurrence, i, 0 });
            }
        });

        // Where those entries stand in ours.
        std::vector<Occurrence> anchors;
        anchors.reserve(extras.size());
        for (const Extra& e : extras)
            anchors.push_back(e.before);
        std::sort(anchors.begin(), anchors.end());
        anchors.erase(std::unique(anchors.begin(), anchors.end()), anchors.end());
        std::vector<size_t> anchorRows(anchors.size(), m_ours.size());
        forEachOccurrence(m_oursIds, m_seen, [&](size_t i, Id id, std::uint32_t ordinal) {
            if (ordinal < merged(id))
                ++total;
            if (anchors.empty())
                return;
            const auto at = std::lower_bound(anchors.begin(), anchors.end(), occurrence(id, ordinal));
            if (at != anchors.end() && *at == occurrence(id, ordinal))
                anchorRows[static_cast<size_t>(at - anchors.begin())] = i;
        });
        for (Extra& e : extras) {
            const auto at = std::lower_bound(anchors.begin(), anchors.end(), e.before);
            e.oursRow = anchorRows[static_cast<size_t>(at - anchors.begin())];
        }
        std::stable_sort(
            extras.begin(), extras.end(), [](const Extra& a, const Extra& b) { return a.oursRow < b.oursRow; });

        std::vector<Entry> out;
        out.reserve(total + extras.size());
        auto extra = extras.cbegin();
        const auto extrasBefore = [&](size_t row) {
            for (; extra != extras.cend() && extra->oursRow == row; ++extra)
                out.push_back(m_theirs[extra->index]);
        };
        forEachOccurrence(m_oursIds, m_seen, [&](size_t i, Id id, std::uint32_t ordinal) {
            extrasBefore(i);
            if (ordinal < merged(id))
                out.push_back(m_ours[i]);
        });
        extrasBefore(m_ours.size());
        return out;
    }

    const std::vector<Entry>& m_ours;
    const std::vector<Entry>& m_theirs;
    RecordTable m_table;
    Version m_base;
    Version m_oursIds;
    Version m_theirsIds;
    std::vector<std::uint32_t> m_seen;
    // Where in the base each record stands (its last place there); the ids of records the base lacks are past
    // the end.
    static constexpr std::uint32_t kNoPlace = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> m_basePlace;
};

} // namespace

namespace {

// The texts of a record hashed with the seed, each one whole, so that where one text ends is part of the hash.
quint64 recordHash(const Entry& entry, size_t seed)
{
    quint64 hash = seed;
    const auto mix = [&hash, seed](const QString& text) {
        // The finaliser of splitmix64: every bit of the texts' hashes reaches every bit of the result.
        quint64 x = hash ^ qHash(text, seed);
        x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
        x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
        hash = x ^ (x >> 31);
    };
    mix(entry.caption);
    for (const QString& text : entry.subItems)
        mix(text);
    return hash;
}

} // namespace

RecordPrint printOf(const Entry& entry)
{
    // Two seeds give two independent hashes of the same texts.
    return { recordHash(entry, 0x6b6f7262616e6131), recordHash(entry, 0x2545f4914f6cdd1d) };
}

ListPrints printsOf(const std::vector<Entry>& entries)
{
    ListPrints prints;
    prints.reserve(entries.size());
    for (const Entry& entry : entries)
        prints.push_back(printOf(entry));
    return prints;
}

ListPrints printsOf(const ListModel& list)
{
    ListPrints prints;
    prints.reserve(static_cast<size_t>(list.count()));
    for (int row = 0; row < list.count(); ++row) {
        list.prefetchTexts(row + 8);
        prints.push_back(printOf(list.entryAt(row)));
    }
    return prints;
}

SectionPrints printsOf(const ListSections& sections)
{
    SectionPrints prints;
    for (size_t list = 0; list < sections.size(); ++list)
        prints[list] = printsOf(sections[list]);
    return prints;
}

ListMergeResult mergeList(const ListPrints& base, const std::vector<Entry>& ours, const std::vector<Entry>& theirs)
{
    return Merger(base, ours, theirs).run();
}

ListMergeResult mergeList(
    const std::vector<Entry>& base, const std::vector<Entry>& ours, const std::vector<Entry>& theirs)
{
    return mergeList(printsOf(base), ours, theirs);
}

MergeResult mergeLists(const SectionPrints& base, const ListSections& ours, const ListSections& theirs)
{
    MergeResult result;
    for (size_t list = 0; list < result.sections.size(); ++list) {
        ListMergeResult merged = mergeList(base[list], ours[list], theirs[list]);
        result.sections[list] = std::move(merged.entries);
        result.conflicts[list] = merged.conflicts;
        result.conflictLists[list] = std::move(merged.conflictList);
    }
    return result;
}

MergeResult mergeLists(const ListSections& base, const ListSections& ours, const ListSections& theirs)
{
    return mergeLists(printsOf(base), ours, theirs);
}

SectionPrints commonEntries(const SectionPrints& first, const ListSections& second)
{
    struct PrintHash
    {
        size_t operator()(const RecordPrint& print) const { return static_cast<size_t>(print.first); }
    };
    SectionPrints common;
    for (size_t list = 0; list < common.size(); ++list) {
        // Each entry of second stands for one occurrence: an entry of first takes the first unused one alike.
        std::unordered_map<RecordPrint, std::uint32_t, PrintHash> unused;
        unused.reserve(second[list].size());
        for (const Entry& entry : second[list])
            ++unused[printOf(entry)];
        for (const RecordPrint& print : first[list]) {
            const auto it = unused.find(print);
            if (it != unused.end() && it->second > 0) {
                common[list].push_back(print);
                --it->second;
            }
        }
    }
    return common;
}

} // namespace korbana
