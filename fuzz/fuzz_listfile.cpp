// The list file reader on arbitrary bytes: no crash, no leak, no runaway, and whatever it read comes back
// unchanged through the writer and a second read, the block after the lists included.
#include "SampleLists.h"

#include <cstdint>
#include <cstdlib>

using namespace korbana;

namespace {

bool sameEntries(const ListModel& a, const ListModel& b)
{
    if (a.count() != b.count())
        return false;
    for (int row = 0; row < a.count(); ++row) {
        const Entry& x = a.entryAt(row);
        const Entry& y = b.entryAt(row);
        if (x.caption != y.caption || x.subItems != y.subItems)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static sample::Lists first;
    static sample::Lists second;
    static korbana::ListExtras firstExtras;
    static korbana::ListExtras secondExtras;
    korbana::ListSet firstSet = first.set();
    firstSet.extras = &firstExtras;
    korbana::ListSet secondSet = second.set();
    secondSet.extras = &secondExtras;
    korbana::parseListFile(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), firstSet);

    const QByteArray written = korbana::encodeListFile(firstSet);
    if (korbana::parseListFile(written, secondSet) != korbana::ReadResult::Ok
        || !sameEntries(*first.stores, *second.stores) || !sameEntries(*first.products, *second.products)
        || !sameEntries(*first.shopping, *second.shopping) || firstExtras != secondExtras)
        std::abort(); // what was read does not survive a save: data would be lost
    return 0;
}
