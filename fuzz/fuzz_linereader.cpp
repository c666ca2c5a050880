// The list file read block by block from disk against the same bytes read from memory, with arbitrary bytes
// placed across the edge of the first block: the same lists, the same verdict, the same content hash.
#include "document/ListFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace korbana;

namespace {

// The device is read in blocks of this size.
constexpr qsizetype kBlock = qsizetype(1) << 20;

bool sameSections(const ListContent& a, const ListContent& b)
{
    for (size_t list = 0; list < a.sections.size(); ++list) {
        if (!std::equal(a.sections[list].begin(), a.sections[list].end(), b.sections[list].begin(),
                b.sections[list].end(),
                [](const Entry& x, const Entry& y) { return x.caption == y.caption && x.subItems == y.subItems; }))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    // The first byte: how far before the edge the rest begins, and which line end the lines before it have, so
    // that the edge falls inside the lines the fuzzer makes.
    const qsizetype before = data[0] >> 1;
    const QByteArray end = (data[0] & 1) ? QByteArray("\n") : QByteArray("\r\n");
    const QByteArrayView rest(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    // One long shop name up to there, and a count that reaches past the edge: the first lines after it are shops
    // too.
    const qsizetype target = kBlock - before;
    QByteArray bytes = QByteArray("17") + end;
    bytes.reserve(kBlock + rest.size());
    bytes.append(QByteArray(target - bytes.size() - end.size(), 'M') + end);
    bytes.append(rest);

    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("liste.kbl"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return 0;
    file.close();

    const ListContent fromDisk = readListContent(path);
    const ListContent fromMemory = parseListContent(bytes);
    if (fromDisk.result != fromMemory.result || fromDisk.facts.complete != fromMemory.facts.complete
        || !sameSections(fromDisk, fromMemory) || fromDisk.facts.contentHash != ContentHash::of(bytes))
        std::abort();
    return 0;
}
