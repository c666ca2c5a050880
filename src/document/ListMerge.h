#pragma once

#include "lists/ListModel.h"

#include <array>
#include <vector>

// Three versions of the lists: the one last read or written (the base), the window's (ours) and the file's as
// changed elsewhere (theirs), merged so that no entry either side added or changed is lost.
namespace korbana {

// Two entries hold the same record when their captions and sub-items agree. The image index is no part of the
// record: the list file does not hold it and every entry shows its list's first picture; a merged entry keeps the
// image index of the version it was taken from.
bool sameRecord(const Entry& a, const Entry& b);

struct ListMergeResult
{
    std::vector<Entry> entries;
    // Entries of the base that both sides changed differently, or one side changed and the other removed: every
    // changed form is kept, so the user can pick.
    int conflicts = 0;
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
// (hashing), the texts are shared with the versions given, never copied.
ListMergeResult mergeList(
    const std::vector<Entry>& base, const std::vector<Entry>& ours, const std::vector<Entry>& theirs);

using ListSections = std::array<std::vector<Entry>, 3>; // the Store list, the Product catalogue, the Shopping list

struct MergeResult
{
    ListSections sections;
    std::array<int, 3> conflicts {};
    int totalConflicts() const { return conflicts[0] + conflicts[1] + conflicts[2]; }
};

// The three lists merged each with its own kind.
MergeResult mergeLists(const ListSections& base, const ListSections& ours, const ListSections& theirs);

// The entries that both versions hold, each as often as the version holding it fewer times has it, in the order of
// first: the most that two versions which went apart from an unknown earlier one can have had in common.
ListSections commonEntries(const ListSections& first, const ListSections& second);

} // namespace korbana
