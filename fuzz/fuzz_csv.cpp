// The CSV reader on arbitrary bytes: no crash, no leak, no runaway, and whatever it read comes back unchanged
// through korbana's own export and a second import.
#include "SampleLists.h"
#include "document/Csv.h"

#include <QLocale>

#include <cstdint>
#include <cstdlib>

using namespace korbana;

namespace {

bool sameEntries(const std::vector<Entry>& a, const std::vector<Entry>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
        [](const Entry& x, const Entry& y) { return x.caption == y.caption && x.subItems == y.subItems; });
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Bare numbers become price texts with the locale's decimal separator.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const korbana::CsvContent first
        = korbana::parseCsv(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!first.error.isEmpty())
        return 0;

    sample::Lists lists;
    lists.stores->appendAll(std::vector<Entry>(first.stores));
    lists.products->appendAll(std::vector<Entry>(first.products));
    lists.shopping->appendAll(std::vector<Entry>(first.shopping));
    const korbana::CsvContent second = korbana::parseCsv(korbana::encodeCsv(lists.set()));
    if (!second.error.isEmpty() || !sameEntries(first.stores, second.stores)
        || !sameEntries(first.products, second.products) || !sameEntries(first.shopping, second.shopping))
        std::abort(); // what was imported does not survive an export: data would be lost
    return 0;
}
