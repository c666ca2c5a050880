#pragma once

#include "ListMerge.h"
#include "RecoveryStore.h"

#include <QByteArrayView>
#include <QStringList>

#include <optional>
#include <vector>

namespace korbana {

// The recovery copies that gone windows left of one list, brought back together: two windows on one list that
// were both killed left a copy each, and neither may be lost.
struct LeftList
{
    QString documentPath; // empty for a list without a name: each such copy is a list of its own
    std::vector<LeftCopy> copies; // newest first, each read to its end
    QDateTime written() const { return copies.front().written; }
    // The owners of the copies, as another window is told to take them over.
    QStringList owners() const;
};

struct FoundLeftLists
{
    std::vector<LeftList> lists; // the list with the newest copy first
    QStringList damaged; // where copies that did not read to their end were set aside
};

// The lists that gone windows left copies of (with documentPath only that one, with owners only those copies),
// their copies locked for this window while it asks. Copies that are not whole are set aside as damaged.
FoundLeftLists findLeftLists(
    const std::optional<QString>& documentPath, const std::optional<QStringList>& owners = std::nullopt);
// The user does not want the list back: its copies are set aside, kept but not offered again.
void declineLeftList(const LeftList& list);

// Whether the bytes are a whole copy as korbana writes it: read to their end, the last line ended too (a copy cut
// inside its last line would read as a shorter text).
bool isWholeCopy(QByteArrayView bytes);

struct RecoveredCopy
{
    ListSections sections;
    // Whether the window's lists went on from the file as it is now: what it removed from them stays removed.
    bool fromFile = false;
};

// The file's lists with every copy merged in, newest first, so that the newest copy's order leads. A copy that
// went on from the file merges three ways against it; any other from what it and the lists so far have in
// common, which keeps every entry either holds.
MergeResult mergeRecoveredCopies(
    const SectionPrints& file, ListSections lists, const std::vector<RecoveredCopy>& copies);

} // namespace korbana
