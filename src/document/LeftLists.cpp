#include "LeftLists.h"

#include <QFileInfo>

#include <algorithm>
#include <iterator>

namespace korbana {

QStringList LeftList::owners() const
{
    QStringList result;
    for (const LeftCopy& copy : copies)
        result.append(QFileInfo(copy.copyPath).completeBaseName());
    return result;
}

FoundLeftLists findLeftLists(const std::optional<QString>& documentPath, const std::optional<QStringList>& owners)
{
    FoundLeftLists found;
    for (LeftCopy& copy : RecoveryStore::leftCopies(documentPath)) {
        if (owners && !owners->contains(QFileInfo(copy.copyPath).completeBaseName()))
            continue;
        const std::optional<QByteArray> bytes = RecoveryStore::read(copy);
        if (!bytes)
            continue;
        // Read to its end before it is offered: a damaged copy would replace good lists with a part of them.
        if (!isWholeCopy(*bytes)) {
            found.damaged.append(RecoveryStore::setAside(copy, RecoveryStore::Aside::Damaged));
            continue;
        }
        auto same = std::find_if(found.lists.begin(), found.lists.end(), [&copy](const LeftList& list) {
            return !list.documentPath.isEmpty() && list.documentPath == copy.documentPath;
        });
        if (same == found.lists.end()) {
            found.lists.push_back({ copy.documentPath, {} });
            same = std::prev(found.lists.end());
        }
        same->copies.push_back(std::move(copy));
    }
    return found;
}

void declineLeftList(const LeftList& list)
{
    for (const LeftCopy& copy : list.copies)
        RecoveryStore::setAside(copy);
}

bool isWholeCopy(QByteArrayView bytes)
{
    return bytes.endsWith("\r\n") && readsCompletely(bytes);
}

MergeResult mergeRecoveredCopies(
    const SectionPrints& file, ListSections lists, const std::vector<RecoveredCopy>& copies)
{
    MergeResult merged;
    merged.sections = std::move(lists);
    for (const RecoveredCopy& copy : copies) {
        const SectionPrints base = copy.fromFile ? file : commonEntries(printsOf(merged.sections), copy.sections);
        MergeResult step = mergeLists(base, merged.sections, copy.sections);
        merged.sections = std::move(step.sections);
        for (size_t i = 0; i < merged.conflicts.size(); ++i)
            merged.conflicts[i] += step.conflicts[i];
    }
    return merged;
}

} // namespace korbana
