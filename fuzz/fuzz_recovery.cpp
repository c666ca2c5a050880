// A recovery copy with its companions on arbitrary bytes, as a crashed window or a damaged disk leaves them: no
// crash, a copy that is not whole never offered, and one that is merged with the list's file losing nothing.
#include "MergeInvariants.h"
#include "document/LeftLists.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace korbana;

namespace {

QByteArrayView part(const std::uint8_t* data, std::size_t size, int index)
{
    // Name, copy, base stamp and the list's file, parted by 0xFF 0xFF.
    const QByteArrayView all(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    qsizetype from = 0;
    for (int n = 0; n < index; ++n) {
        const qsizetype at = all.indexOf(QByteArrayView("\xff\xff"), from);
        if (at < 0)
            return {};
        from = at + 2;
    }
    const qsizetype to = all.indexOf(QByteArrayView("\xff\xff"), from);
    return all.sliced(from, (to < 0 ? all.size() : to) - from);
}

void write(const QString& path, QByteArrayView bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes.data(), bytes.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir folder;
    RecoveryStore::setFolderOverride(folder.path());
    const QString owner = folder.filePath(QStringLiteral("1-0000abcd"));
    const QByteArrayView copyBytes = part(data, size, 1);
    write(owner + QStringLiteral(".name"), part(data, size, 0));
    write(owner + QStringLiteral(".kbl"), copyBytes);
    write(owner + QStringLiteral(".base"), part(data, size, 2));

    // The copies' locks go before their files.
    {
        const FoundLeftLists found = findLeftLists(std::nullopt);
        const bool whole = isWholeCopy(copyBytes);
        if (found.lists.size() != (whole ? 1u : 0u) || found.damaged.size() != (whole ? 0 : 1))
            std::abort();
        if (whole) {
            const ListContent file = parseListContent(part(data, size, 3));
            const ListContent copy = parseListContent(copyBytes);
            for (const bool fromFile : { true, false }) {
                const MergeResult merged
                    = mergeRecoveredCopies(printsOf(file.sections), file.sections, { { copy.sections, fromFile } });
                for (size_t list = 0; list < merged.sections.size(); ++list) {
                    const auto inFile = mergecheck::counts(file.sections[list]);
                    const auto inCopy = mergecheck::counts(copy.sections[list]);
                    const auto result = mergecheck::counts(merged.sections[list]);
                    // Gone on from the file: the copy as it is. Of unknown start: whatever either holds.
                    if (fromFile && result != inCopy)
                        std::abort();
                    for (auto it = inCopy.cbegin(); !fromFile && it != inCopy.cend(); ++it) {
                        if (result.value(it.key()) < std::max(it.value(), inFile.value(it.key())))
                            std::abort();
                    }
                    for (auto it = inFile.cbegin(); !fromFile && it != inFile.cend(); ++it) {
                        if (result.value(it.key()) < it.value())
                            std::abort();
                    }
                }
            }
        }
    }
    QDir dir(folder.path());
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        dir.remove(name);
    return 0;
}
