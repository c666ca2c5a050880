#include "ListFile.h"

#include "DurableFile.h"
#include "Windows1252.h"
#include "lists/ListModel.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace korbana {

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kEndOfFile = 26;
constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

// A damaged count may promise far more entries than the file holds; the missing ones read as empty entries
// until this many, then the file counts as malformed.
constexpr int kMaxEntriesPastEnd = 10000;

// An entry costs about a hundred bytes however short its lines, so a file of empty lines could ask for many
// times its size. Beyond one entry per eight bytes of the file (a product or shopping entry takes that even empty),
// plus a floor for small files, the file counts as malformed: memory stays within a small multiple of the file size.
constexpr qsizetype kBytesPerEntry = 8;
constexpr qsizetype kMinEntryBudget = 100000;

// Larger files are not read at all: no list comes near this size.
constexpr qint64 kMaxFileSize = qint64(512) << 20;

// Texts that repeat from row to row share one string; the pool stops growing at this size.
constexpr qsizetype kMaxPooledTexts = 1 << 16;

// One section of the file: its list, how many sub-items each entry has, and which of its fields repeat often
// enough to be worth sharing (bit 0 the caption, bit i+1 sub-item i).
struct Section
{
    ListModel* ListSet::*list;
    int subItems;
    unsigned pooledFields;
};
// Shared: the shop and price of a product, all four fields of a shopping entry.
constexpr std::array<Section, 3> kSections { { { &ListSet::stores, 0, 0b0000 }, { &ListSet::products, 2, 0b0110 },
    { &ListSet::shopping, 3, 0b1111 } } };

class LineReader
{
public:
    explicit LineReader(QByteArrayView data)
        : m_pos(data.data())
        , m_end(data.data() + data.size())
    {
    }

    bool atEnd() const { return m_pos == m_end; }

    // The next line without its end; past the end of the file every line is empty.
    QByteArrayView next()
    {
        if (atEnd())
            return {};
        const char* start = m_pos;
        const auto* cr = static_cast<const char*>(std::memchr(start, kCr, static_cast<size_t>(m_end - start)));
        if (!cr) {
            m_pos = m_end;
            return { start, m_end - start };
        }
        m_pos = cr + 1;
        if (m_pos != m_end && *m_pos == kLf)
            ++m_pos;
        return { start, cr - start };
    }

    // An upper bound of the lines still to come (a last line without an end included).
    qsizetype remainingLines() const { return std::count(m_pos, m_end, kCr) + 1; }

private:
    const char* m_pos;
    const char* m_end;
};

// Decodes field texts; equal bytes in the columns that repeat give one shared string. An open-addressing table
// keyed by the raw bytes: a hit costs neither a decode nor an allocation.
class TextDecoder
{
public:
    explicit TextDecoder(bool utf8)
        : m_utf8(utf8)
        , m_slots(256)
    {
    }

    QString decode(QByteArrayView bytes) const
    {
        if (!m_utf8)
            return decodeWindows1252(bytes);
        // A field may begin with U+FEFF: QString::fromUtf8 would drop it as a byte-order mark.
        QStringDecoder utf8(
            QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        return utf8.decode(bytes);
    }

    QString pooled(QByteArrayView bytes)
    {
        if (bytes.isEmpty())
            return {};
        const quint64 hash = hashOf(bytes);
        const size_t mask = m_slots.size() - 1;
        for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
            Slot& slot = m_slots[i];
            if (slot.bytes.data() == nullptr) {
                QString text = decode(bytes);
                if (m_used < kMaxPooledTexts) {
                    slot = { hash, bytes, text };
                    if (++m_used * 2 > static_cast<qsizetype>(m_slots.size()))
                        grow();
                }
                return text;
            }
            if (slot.hash == hash && slot.bytes == bytes)
                return slot.text;
        }
    }

private:
    struct Slot
    {
        quint64 hash = 0;
        QByteArrayView bytes; // points into the file's bytes, which outlive the decoder
        QString text;
    };

    static quint64 hashOf(QByteArrayView bytes)
    {
        quint64 hash = 14695981039346656037ULL; // FNV-1a
        for (const char c : bytes)
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        return hash;
    }

    void grow()
    {
        std::vector<Slot> old = std::exchange(m_slots, std::vector<Slot>(m_slots.size() * 2));
        const size_t mask = m_slots.size() - 1;
        for (Slot& slot : old) {
            if (slot.bytes.data() == nullptr)
                continue;
            size_t i = static_cast<size_t>(slot.hash) & mask;
            while (m_slots[i].bytes.data() != nullptr)
                i = (i + 1) & mask;
            m_slots[i] = std::move(slot);
        }
    }

    bool m_utf8;
    std::vector<Slot> m_slots; // a power of two, at most half full
    qsizetype m_used = 0;
};

bool isDigit(char c, int base)
{
    if (c >= '0' && c <= '9')
        return true;
    const char lower = static_cast<char>(c | 0x20);
    return base == 16 && lower >= 'a' && lower <= 'f';
}

int digitValue(char c)
{
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

// A count line: blanks, a sign, then decimal digits or hexadecimal ones after "$", "x" or "0x"; nothing after.
bool parseCount(QByteArrayView line, int& count)
{
    const char* p = line.data();
    const char* const end = p + line.size();
    while (p != end && *p == ' ')
        ++p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    int base = 10;
    if (p != end && (*p == '$' || *p == 'x' || *p == 'X')) {
        base = 16;
        ++p;
    } else if (end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    }
    if (p == end)
        return false;
    const qint64 limit = negative ? -qint64(std::numeric_limits<int>::min()) : std::numeric_limits<int>::max();
    qint64 value = 0;
    for (; p != end; ++p) {
        if (!isDigit(*p, base))
            return false;
        value = value * base + digitValue(*p);
        if (value > limit)
            return false;
    }
    count = static_cast<int>(negative ? -value : value);
    return true;
}

class Parser
{
public:
    explicit Parser(QByteArrayView data)
        : m_lines(readablePart(data))
        , m_decoder(data.startsWith(kUtf8Bom))
        , m_entryBudget(data.size() / kBytesPerEntry + kMinEntryBudget)
    {
    }

    // The file promised more entries than its size can honestly hold.
    bool overBudget() const { return m_overBudget; }

    // Reads one section into the list. The entries read stay in the list also when it fails.
    bool readSection(ListModel& list, const Section& section)
    {
        Q_ASSERT(list.subItemCount() == section.subItems);
        int count = 0;
        if (!parseCount(m_lines.next(), count))
            return false;
        if (count <= 0)
            return true;
        std::vector<Entry> entries;
        entries.reserve(static_cast<size_t>(
            std::min<qsizetype>({ count, m_lines.remainingLines() / (section.subItems + 1) + 1, m_entryBudget })));
        bool ok = true;
        for (int i = 0; i < count; ++i) {
            if (m_lines.atEnd() && ++m_entriesPastEnd > kMaxEntriesPastEnd) {
                ok = false;
                break;
            }
            if (--m_entryBudget < 0) {
                m_overBudget = true;
                ok = false;
                break;
            }
            Entry& entry = entries.emplace_back();
            entry.caption = field(section, 0);
            for (int s = 0; s < section.subItems; ++s)
                entry.subItems[static_cast<size_t>(s)] = field(section, s + 1);
        }
        list.appendAll(std::move(entries));
        return ok;
    }

private:
    // The lines after a UTF-8 mark and before the first byte 26.
    static QByteArrayView readablePart(QByteArrayView data)
    {
        if (data.startsWith(kUtf8Bom))
            data = data.sliced(kUtf8Bom.size());
        const qsizetype end = data.indexOf(kEndOfFile);
        return end < 0 ? data : data.first(end);
    }

    QString field(const Section& section, int index)
    {
        const QByteArrayView line = m_lines.next();
        return (section.pooledFields >> index) & 1u ? m_decoder.pooled(line) : m_decoder.decode(line);
    }

    LineReader m_lines;
    TextDecoder m_decoder;
    int m_entriesPastEnd = 0;
    qsizetype m_entryBudget;
    bool m_overBudget = false;
};

// Appends one field and its line end; false when the text has no Windows-1252 form.
bool appendField(QByteArray& out, const QString& text, bool utf8)
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
    dest[text.size()] = kCr;
    dest[text.size() + 1] = kLf;
    return true;
}

bool appendSection(QByteArray& out, const ListModel& list, const Section& section, bool utf8)
{
    appendField(out, QString::number(list.count()), utf8);
    for (int row = 0; row < list.count(); ++row) {
        const Entry& entry = list.entryAt(row);
        if (!appendField(out, entry.caption, utf8))
            return false;
        for (int s = 0; s < section.subItems; ++s) {
            if (!appendField(out, entry.subItems[static_cast<size_t>(s)], utf8))
                return false;
        }
    }
    return true;
}

bool appendSections(QByteArray& out, const ListSet& lists, bool utf8)
{
    for (const Section& section : kSections) {
        if (!appendSection(out, *(lists.*section.list), section, utf8))
            return false;
    }
    return true;
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

std::optional<QByteArray> readWholeFile(const QString& path)
{
    // Only a plain file: opening a pipe waits for a writer, and a device such as /dev/zero never ends.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxFileSize)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // A read error after a successful open ends the data there, like the end of the file.
    return file.readAll();
}

ReadResult readListFile(const QString& path, const ListSet& lists)
{
    const std::optional<QByteArray> data = readWholeFile(path);
    return data ? parseListFile(*data, lists) : ReadResult::CannotOpen;
}

ReadResult parseListFile(QByteArrayView data, const ListSet& lists)
{
    for (const Section& section : kSections)
        (lists.*section.list)->clear();
    Parser parser(data);
    for (const Section& section : kSections) {
        if (!parser.readSection(*(lists.*section.list), section)) {
            if (parser.overBudget()) {
                for (const Section& emptied : kSections)
                    (lists.*emptied.list)->clear();
            }
            return ReadResult::BadFormat;
        }
    }
    return ReadResult::Ok;
}

QByteArray encodeListFile(const ListSet& lists)
{
    QByteArray out;
    out.reserve(encodedSize(lists));
    if (appendSections(out, lists, false))
        return out;
    // A text beyond Windows-1252: the whole file goes in UTF-8, marked so that the reader knows.
    out = kUtf8Bom.toByteArray();
    appendSections(out, lists, true);
    return out;
}

WriteResult saveWholeFile(QSaveFile& file, QByteArrayView bytes)
{
    if (!isReplaceableTarget(file.fileName()) || !file.open(QIODevice::WriteOnly))
        return WriteResult::CannotCreate;
    // QSaveFile::commit() alone was seen to succeed on a full disk with an empty file left behind: check each step.
    const bool written = file.write(bytes.data(), bytes.size()) == bytes.size() && syncToDisk(file);
    if (!written) {
        file.cancelWriting();
        file.commit();
        return WriteResult::WriteFailed;
    }
    if (!file.commit())
        return WriteResult::WriteFailed;
    syncFolderOf(file.fileName());
    removeStaleSaveTemporaries(file.fileName());
    return WriteResult::Ok;
}

WriteResult writeListFile(const QString& path, const ListSet& lists)
{
    QSaveFile file(path);
    return saveWholeFile(file, encodeListFile(lists));
}

QString messageText(ReadResult result)
{
    return result == ReadResult::CannotOpen ? QStringLiteral("Konnte die Datei nicht öffnen.")
                                            : QStringLiteral("Fehler beim Öffnen der Datei (Ungültiges Format?).");
}

QString messageTitle(ReadResult)
{
    return QStringLiteral("Fehler beim Öffnen");
}

QString messageText(WriteResult result)
{
    return result == WriteResult::CannotCreate ? QStringLiteral("Konnte die Datei nicht erstellen.")
                                               : QStringLiteral("Konnte die Datei nicht vollständig schreiben.");
}

QString messageTitle(WriteResult)
{
    return QStringLiteral("Fehler beim Speichern");
}

} // namespace korbana
