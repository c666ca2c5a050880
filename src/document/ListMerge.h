#pragma once

#include "lists/ListModel.h"

#include <array>
#include <optional>
#include <vector>

// Three versions of the lists: the one last read or written (the base), the window's (ours) and the file's as
// changed elsewhere (theirs), merged so that no entry either side added or changed is lost.
namespace korbana {

// Two entries hold the same record when their captions and sub-items agree. The image index is no part of the
// record: the list file does not hold it and every entry shows its list's first picture.
bool sameRecord(const Entry& a, const Entry& b);

// A record told apart by 128 bits of two independent hashes of its texts: the base of a merge is kept as these
// alone, about a sixth of the entries' own size, and never holds a text. Two different records share a print with a
// chance far below that of a fault in the memory that holds them.
struct RecordPrint
{
    quint64 first = 0;
    quint64 second = 0;
    friend bool operator==(const RecordPrint& a, const RecordPrint& b)
    {
        return a.first == b.first && a.second == b.second;
    }
    friend bool operator!=(const RecordPrint& a, const RecordPrint& b) { return !(a == b); }
};
RecordPrint printOf(const Entry& entry);
using ListPrints = std::vector<RecordPrint>;
ListPrints printsOf(const std::vector<Entry>& entries);
ListPrints printsOf(const ListModel& list);

// An entry of the base that both sides changed differently, or one side changed and the other removed: what each
// side holds in its place (nothing: removed there). Every changed form is kept in the merge, so the user can pick.
struct MergeConflict
{
    std::optional<Entry> ours;
    std::optional<Entry> theirs;
};

struct ListMergeResult
{
    std::vector<Entry> entries;
    int conflicts = 0;
    std::vector<MergeConflict> conflictList; // as many as conflicts, in the base's order
};

// Merges one list, entries as whole records, counted so that a list may hold the same record more than once:
// - a record added on either side is kept; added on both sides, it is kept as often as the side that added more
//   has it; removed on both sides, it goes as often as the side that removed more;
// - a record removed on one side and unchanged on the other is removed;
// - a change is a base entry removed and another entry added in the same place on one side; changed on both
//   sides, both new forms are kept (and counted as a conflict).
// The order: ours, as it stands (a sort on our side keeps its order); what only theirs adds goes just before the
// entry that follows it in theirs and is also ours (at the end when there is none), in theirs' order, so that
// within one gap our entries come first. A sort on their side alone leaves our order. Linear in the entries
// (hashing), the texts are shared with the versions given, never copied; records are told apart by their prints.
ListMergeResult mergeList(const ListPrints& base, const std::vector<Entry>& ours, const std::vector<Entry>& theirs);
ListMergeResult mergeList(
    const std::vector<Entry>& base, const std::vector<Entry>& ours, const std::vector<Entry>& theirs);

using ListSections = std::array<std::vector<Entry>, 3>; // the Store list, the Product catalogue, the Shopping list
using SectionPrints = std::array<ListPrints, 3>;
SectionPrints printsOf(const ListSections& sections);

struct MergeResult
{
    ListSections sections;
    std::array<int, 3> conflicts {};
    std::array<std::vector<MergeConflict>, 3> conflictLists;
    int totalConflicts() const { return conflicts[0] + conflicts[1] + conflicts[2]; }
};

// The three lists merged each with its own kind.
MergeResult mergeLists(const SectionPrints& base, const ListSections& ours, const ListSections& theirs);
MergeResult mergeLists(const ListSections& base, const ListSections& ours, const ListSections& theirs);

// The entries that both versions hold, each as often as the version holding it fewer times has it, in the order of
// first, as their prints: the most that two versions which went apart from an unknown earlier one can have had in
// common.
SectionPrints commonEntries(const SectionPrints& first, const ListSections& second);

} // namespace korbana
