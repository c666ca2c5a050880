// Writing the list file: the three lists and the block after them, in Windows-1252 or, when a text needs it, in
// UTF-8 with its mark.
#include "ListFile.h"

#include "DurableFile.h"
#include "LineReader.h"
#include "ListFileSections.h"
#include "Windows1252.h"
#include "lists/ListModel.h"

#include <QFile>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

#include <algorithm>
#include <limits>

namespace korbana {

namespace {

// Appends one field and its line end; false when the text has no Windows-1252 form. lookalike, when given, learns
// whether the Windows-1252 bytes of the field would read as UTF-8.
bool appendField(QByteArray& out, const QString& text, bool utf8, ListEncoder::Utf8Lookalike* lookalike = nullptr)
{
    if (utf8) {
        out.append(text.toUtf8());
        out.append("\r\n", 2);
        return true;
    }
    // One resize per line: saving a large list is mostly this loop.
    const qsizetype start = out.size();
    out.resize(start + text.size() + 2);
    char* dest = out.data() + start;
    if (!writeWindows1252(text, dest)) {
        out.truncate(start);
        return false;
    }
    if (lookalike)
        lookalike->add(QByteArrayView(dest, text.size()));
    dest[text.size()] = '\r';
    dest[text.size() + 1] = '\n';
    return true;
}

// Lets the disk start on the blocks written so far while the next ones are encoded, so that the sync before the
// commit finds little left to do. Only a hint: where the system has no such call nothing happens.
void startWritingToDisk(QFileDevice& file)
{
#ifdef Q_OS_LINUX
    if (file.handle() >= 0)
        ::sync_file_range(file.handle(), 0, 0, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(file);
#endif
}

// Commits the save file when everything was written; otherwise leaves the target as it was.
WriteResult finishSave(SaveFile& file, bool written)
{
    // A commit alone was seen to succeed on a full disk with an empty file left behind: each step is checked.
    if (!written) {
        file.cancel();
        return WriteResult::WriteFailed;
    }
    return file.commit() ? WriteResult::Ok : WriteResult::WriteFailed;
}

// The size of the file in Windows-1252, so that encoding needs no reallocation.
qsizetype encodedSize(const ListSet& lists)
{
    qsizetype size = 0;
    for (const Section& section : kSections) {
        const ListModel& list = *(lists.*section.list);
        size += 12;
        for (int row = 0; row < list.count(); ++row) {
            const Entry& entry = list.entryAt(row);
            size += entry.caption.size() + 2;
            for (int s = 0; s < section.subItems; ++s)
                size += entry.subItems[static_cast<size_t>(s)].size() + 2;
        }
    }
    return size;
}

} // namespace

ListEncoder::Step ListEncoder::encode(QByteArray& out, qsizetype rows, qsizetype untilSize)
{
    for (; m_section < kSections.size(); ++m_section, m_row = -1) {
        const Section& section = kSections[m_section];
        const ListModel& list = *(m_lists.*section.list);
        if (m_row < 0) {
            appendField(out, QString::number(list.count()), m_utf8);
            m_row = 0;
        }
        for (; m_row < list.count(); ++m_row, --rows) {
            if (rows <= 0 || out.size() >= untilSize)
                return Step::More;
            // Encoding a long list is mostly waiting for its strings: they are fetched a few rows ahead.
            list.prefetchTexts(m_row + 8);
            const Entry& entry = list.entryAt(m_row);
            if (!appendField(out, entry.caption, m_utf8, &m_lookalike))
                return Step::NeedsUtf8;
            for (int s = 0; s < section.subItems; ++s) {
                if (!appendField(out, entry.subItems[static_cast<size_t>(s)], m_utf8, &m_lookalike))
                    return Step::NeedsUtf8;
            }
        }
    }
    if (m_blockLine < 0) {
        m_block = m_lists.extras ? m_lists.extras->serialize() : QStringList();
        m_blockLine = 0;
    }
    for (; m_blockLine < m_block.size(); ++m_blockLine, --rows) {
        if (rows <= 0 || out.size() >= untilSize)
            return Step::More;
        if (!appendField(out, m_block[m_blockLine], m_utf8, &m_lookalike))
            return Step::NeedsUtf8;
    }
    // Windows-1252 bytes that happen to be UTF-8 throughout would be read back as other texts: UTF-8 keeps them.
    if (!m_utf8 && m_lookalike.readsAsUtf8())
        return Step::NeedsUtf8;
    return Step::Done;
}

void ListEncoder::Utf8Lookalike::add(QByteArrayView field)
{
    if (m_invalid || std::none_of(field.begin(), field.end(), [](char c) { return static_cast<uchar>(c) >= 0x80; }))
        return;
    // Line ends are ASCII, so the file is UTF-8 only if every field with a high byte is UTF-8 by itself.
    m_highBytes = true;
    m_invalid = !korbana::readsAsUtf8(field);
}

void ListEncoder::restartInUtf8(QByteArray& out)
{
    m_utf8 = true;
    m_section = 0;
    m_row = -1;
    m_blockLine = -1;
    out = kUtf8Bom.toByteArray();
}

QByteArray encodeListFile(const ListSet& lists)
{
    constexpr qsizetype kWhole = std::numeric_limits<qsizetype>::max();
    QByteArray out;
    out.reserve(encodedSize(lists));
    ListEncoder encoder(lists);
    if (encoder.encode(out, kWhole, kWhole) == ListEncoder::Step::NeedsUtf8) {
        encoder.restartInUtf8(out);
        encoder.encode(out, kWhole, kWhole);
    }
    return out;
}

WriteResult saveWholeFile(SaveFile& file, QByteArrayView bytes)
{
    if (!file.begin())
        return WriteResult::CannotCreate;
    return finishSave(file, file.write(bytes.data(), bytes.size()) == bytes.size());
}

WriteResult writeListFile(const QString& path, const ListSet& lists, QByteArray* contentHash)
{
    return writeListFile(path, lists, contentHash, SaveFile::Kind::Shared);
}

WriteResult writeListFile(const QString& path, const ListSet& lists, QByteArray* contentHash, SaveFile::Kind kind)
{
    SaveFile file(path, kind);
    if (!file.begin())
        return WriteResult::CannotCreate;
    ContentHash hash;
    // Written in blocks as they are encoded: a large list is never held twice, once as text and once as bytes.
    constexpr qsizetype kBlockSize = 1 << 20;
    QByteArray block;
    block.reserve(kBlockSize + kBlockSize / 4);
    const auto spill = [&file, &hash](QByteArray& bytes) {
        hash.add(bytes);
        const bool written = file.write(bytes) == bytes.size() && file.flush();
        bytes.resize(0);
        startWritingToDisk(file);
        return written;
    };
    ListEncoder encoder(lists);
    bool written = true;
    for (ListEncoder::Step step = ListEncoder::Step::More; written && step != ListEncoder::Step::Done;) {
        step = encoder.encode(block, std::numeric_limits<qsizetype>::max(), kBlockSize);
        if (step == ListEncoder::Step::NeedsUtf8) {
            // A text beyond Windows-1252: the whole file again, in UTF-8. Every character takes at least as many
            // bytes in UTF-8, so the new content covers all that was written.
            encoder.restartInUtf8(block);
            hash = ContentHash();
            written = file.seek(0);
        } else {
            written = spill(block);
        }
    }
    const WriteResult result = finishSave(file, written);
    if (contentHash && result == WriteResult::Ok)
        *contentHash = hash.result();
    return result;
}

} // namespace korbana
