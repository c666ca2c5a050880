// The three-way merge of one list on arbitrary versions: no crash, and its promises kept (each record counted as
// the sides added and removed it, our order standing, a change made on one side alone coming through exactly),
// from the base's entries as from their prints alike.
#include "MergeInvariants.h"

#include <cstdint>
#include <cstdlib>

using namespace korbana;

namespace {

// One entry per byte from a small alphabet of records, so that the versions share many of them and hold duplicates.
Entry entryOf(std::uint8_t byte)
{
    Entry entry;
    entry.caption = QString(QChar(u'A' + (byte & 7)));
    if (byte & 0x38)
        entry.subItems[0] = QString::number((byte >> 3) & 7);
    return entry;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Base, ours and theirs, parted by 0xFF.
    std::vector<Entry> versions[3];
    int part = 0;
    for (std::size_t i = 0; i < size && part < 3; ++i) {
        if (data[i] == 0xFF)
            ++part;
        else
            versions[part].push_back(entryOf(data[i]));
    }
    const auto& [base, ours, theirs] = versions;
    const ListMergeResult merged = mergeList(base, ours, theirs);
    if (!mergecheck::broken(base, ours, theirs, merged.entries).isEmpty())
        std::abort();
    const ListMergeResult fromPrints = mergeList(printsOf(base), ours, theirs);
    if (mergecheck::counts(fromPrints.entries) != mergecheck::counts(merged.entries)
        || fromPrints.conflicts != merged.conflicts)
        std::abort();
    return 0;
}
