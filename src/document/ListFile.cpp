#include "ListFile.h"

#include "ListFileSections.h"

#include "DurableFile.h"
#include "LineReader.h"
#include "Windows1252.h"
#include "lists/ListModel.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <utility>
#include <vector>

namespace korbana {

namespace {

// A damaged count may promise far more entries than the file holds; the missing ones read as empty entries
// until this many, then the file counts as malformed.
constexpr int kMaxEntriesPastEnd = 10000;

// An entry costs about a hundred bytes however short its lines, and a short text some forty more, so a damaged
// file of empty or one-letter lines could ask for twenty times its size. The entries and the texts made for them
// may take five times the file's size (and at least a few megabytes, which any machine has to spare for a small
// file); beyond that the file counts as malformed. A real list of short texts needs nearly that much; longer texts
// and shared ones need less.
constexpr qint64 kMemoryPerFileByte = 5;
constexpr qint64 kMinMemoryBudget = qint64(32) << 20;
// What a string of n characters costs beyond its characters: the header and the allocator's share.
constexpr qint64 kStringOverhead = 32;

// Larger files are not read at all: no list comes near this size.
constexpr qint64 kMaxFileSize = qint64(512) << 20;

// Texts that repeat from row to row share one string; the pool stops growing at this size.
constexpr qsizetype kMaxPooledTexts = 1 << 16;

constexpr size_t kCatalogueSection = 1;

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
            return counted(decodeWindows1252(bytes));
        // A field may begin with U+FEFF: QString::fromUtf8 would drop it as a byte-order mark.
        QStringDecoder utf8(
            QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        QString text = utf8.decode(bytes);
        m_hadErrors = m_hadErrors || utf8.hasError();
        return counted(std::move(text));
    }

    // The memory that the texts made so far take, shared ones once.
    qint64 allocatedBytes() const { return m_allocated; }

    // Whether the pool has stopped growing: texts not in it by now are decoded each time they come.
    bool poolFull() const { return m_used >= kMaxPooledTexts; }

    // Whether some bytes were no UTF-8 and became replacement characters.
    bool hadErrors() const { return m_hadErrors; }

    // The text of the bytes, one string for every field of the same bytes while the pool has room; sets *hit when
    // the string was made for an earlier field.
    QString pooled(QByteArrayView bytes, bool* hit = nullptr)
    {
        if (hit)
            *hit = true;
        if (bytes.isEmpty())
            return {};
        const quint64 hash = hashOf(bytes);
        const size_t mask = m_slots.size() - 1;
        for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
            Slot& slot = m_slots[i];
            if (slot.bytes.isNull()) {
                if (hit)
                    *hit = false;
                QString text = decode(bytes);
                if (m_used < kMaxPooledTexts) {
                    slot = { hash, bytes.toByteArray(), text };
                    m_allocated += bytes.size() + kStringOverhead;
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
        QByteArray bytes; // a copy: the file is read block by block
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
            if (slot.bytes.isNull())
                continue;
            size_t i = static_cast<size_t>(slot.hash) & mask;
            while (!m_slots[i].bytes.isNull())
                i = (i + 1) & mask;
            m_slots[i] = std::move(slot);
        }
    }

    QString counted(QString text) const
    {
        if (!text.isEmpty())
            m_allocated += 2 * text.size() + kStringOverhead;
        return text;
    }

    bool m_utf8;
    mutable bool m_hadErrors = false;
    mutable qint64 m_allocated = 0;
    std::vector<Slot> m_slots; // a power of two, at most half full
    qsizetype m_used = 0;
};

// A field of an entry: 0 the caption, i + 1 sub-item i.
QString& fieldOf(Entry& entry, size_t field)
{
    return field == 0 ? entry.caption : entry.subItems[field - 1];
}

void prefetch(const void* address)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    Q_UNUSED(address);
#endif
}

// The catalogue's names and prices by their text. A shopping entry names its product and gives its price, so its
// texts are the product's: found here, they share the product's strings however many distinct texts the catalogue
// has (the pool above runs full on a catalogue of distinct names). Read only while the file is read.
class CatalogueTexts
{
public:
    // Fields of a product looked up: the name and the price.
    static constexpr std::array<size_t, 2> kFields { 0, 2 };
    // A shopping entry's text waiting to be looked up.
    struct Pending
    {
        quint32 row;
        quint32 field;
        quint64 hash = 0;
        size_t slot = 0;
    };

    explicit CatalogueTexts(std::vector<Entry>& products)
        : m_products(products)
    {
        if (products.size() > (std::numeric_limits<quint32>::max() >> 2))
            return;
        size_t size = 64;
        while (size < products.size() * kFields.size() * 3 / 2) // at most two thirds full
            size *= 2;
        m_slots.assign(size, 0);
        const size_t mask = size - 1;
        // A batch of texts hashed first and their slots fetched together, then filled in.
        constexpr size_t kBatch = 32;
        std::array<quint64, kBatch * kFields.size()> hashes {};
        for (size_t first = 0; first < products.size(); first += kBatch) {
            const size_t end = std::min(products.size(), first + kBatch);
            for (size_t row = first; row < end; ++row) {
                for (size_t column = 0; column < kFields.size(); ++column) {
                    quint64& hash = hashes[(row - first) * kFields.size() + column];
                    hash = hashOf(fieldOf(products[row], kFields[column]));
                    prefetch(&m_slots[hash & mask]);
                }
            }
            for (size_t row = first; row < end; ++row) {
                for (size_t column = 0; column < kFields.size(); ++column) {
                    const QString& text = fieldOf(products[row], kFields[column]);
                    if (text.isEmpty())
                        continue;
                    const quint64 hash = hashes[(row - first) * kFields.size() + column];
                    size_t i = hash & mask;
                    while (m_slots[i] != 0 && !(tagOf(m_slots[i]) == tagOf(hash) && textOf(m_slots[i]) == text))
                        i = (i + 1) & mask;
                    if (m_slots[i] == 0)
                        m_slots[i] = (hash & kTagMask) | (row * kFields.size() + column + 1);
                }
            }
        }
    }

    // Swaps each pending text of entries for the catalogue's equal string, where there is one. A batch at a time:
    // the processor fetches the slots, then the catalogue's entries, then their texts for the whole batch at once,
    // rather than waiting on memory three times for every text.
    void share(std::vector<Entry>& entries, std::vector<Pending>& pending) const
    {
        if (m_slots.empty()) {
            pending.clear();
            return;
        }
        const size_t mask = m_slots.size() - 1;
        for (Pending& p : pending) {
            p.hash = hashOf(fieldOf(entries[p.row], p.field));
            p.slot = p.hash & mask;
            prefetch(&m_slots[p.slot]);
        }
        for (Pending& p : pending) {
            while (m_slots[p.slot] != 0 && tagOf(m_slots[p.slot]) != tagOf(p.hash))
                p.slot = (p.slot + 1) & mask;
            if (m_slots[p.slot] != 0)
                prefetch(&textOf(m_slots[p.slot]));
        }
        for (const Pending& p : pending) {
            if (m_slots[p.slot] != 0)
                prefetch(textOf(m_slots[p.slot]).constData());
        }
        for (const Pending& p : pending) {
            QString& text = fieldOf(entries[p.row], p.field);
            for (size_t i = p.slot; m_slots[i] != 0; i = (i + 1) & mask) {
                if (tagOf(m_slots[i]) == tagOf(p.hash) && textOf(m_slots[i]) == text) {
                    text = textOf(m_slots[i]);
                    break;
                }
            }
        }
        pending.clear();
    }

private:
    // A slot holds the high half of its text's hash and row * 2 + field + 1; 0 is an empty slot.
    static constexpr quint64 kTagMask = 0xffffffff00000000ULL;
    static quint64 tagOf(quint64 value) { return value & kTagMask; }

    static quint64 hashOf(const QString& text)
    {
        // Texts that differ in a digit or two hash to nearby values: mixed, they spread over the whole table.
        quint64 h = qHash(text);
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdULL;
        h ^= h >> 33;
        return h;
    }

    const QString& textOf(quint64 slot) const
    {
        const size_t code = static_cast<size_t>(slot & ~kTagMask) - 1;
        return fieldOf(m_products[code / kFields.size()], kFields[code % kFields.size()]);
    }

    std::vector<Entry>& m_products;
    std::vector<quint64> m_slots;
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
    explicit Parser(LineReader& lines)
        : m_lines(lines)
        , m_decoder(lines.isUtf8())
        , m_memoryBudget(std::max(lines.remainingBytes() * kMemoryPerFileByte, kMinMemoryBudget))
    {
    }

    // The file promised more entries than its size can honestly hold.
    bool overBudget() const { return m_overBudget; }
    // Entries were made up for lines past the end of the file.
    bool ranPastEnd() const { return m_entriesPastEnd > 0; }
    bool decodedEveryByte() const { return !m_decoder.hadErrors(); }

    // The catalogue whose texts the shopping entries read from now on share. Its table is made at the first text
    // that the pool does not share already: a catalogue of few texts never needs it.
    void shareCatalogueTexts(std::vector<Entry>& products) { m_products = &products; }

    // Reads one section's entries. The entries read are kept also when it fails.
    bool readSection(std::vector<Entry>& entries, const Section& section)
    {
        m_poolUse = {};
        int count = 0;
        if (!parseCount(m_lines.next(), count))
            return false;
        if (count <= 0)
            return true;
        entries.reserve(ListModel::capacityFor(expectedEntries(count, section)));
        bool ok = true;
        for (int i = 0; i < count; ++i) {
            if (m_lines.atEnd() && ++m_entriesPastEnd > kMaxEntriesPastEnd) {
                ok = false;
                break;
            }
            if (++m_entries * qint64(sizeof(Entry)) + m_decoder.allocatedBytes() > m_memoryBudget) {
                m_overBudget = true;
                ok = false;
                break;
            }
            Entry& entry = entries.emplace_back();
            for (int f = 0; f <= section.subItems; ++f) {
                bool lookUp = false;
                fieldOf(entry, static_cast<size_t>(f)) = field(section, f, lookUp);
                if (lookUp)
                    m_pending.push_back({ static_cast<quint32>(entries.size() - 1), static_cast<quint32>(f) });
            }
            if (m_pending.size() >= kLookUpBatch)
                m_catalogue->share(entries, m_pending);
        }
        if (!m_pending.empty())
            m_catalogue->share(entries, m_pending);
        return ok;
    }

    // Reads korbana's block when the next line opens one; otherwise the lines stay foreign and unread. Lines after
    // the block's end are left unread.
    ListExtras readExtras(ListExtras::State& state)
    {
        state = ListExtras::State::Absent;
        if (m_lines.atEnd())
            return {};
        QStringList block { m_decoder.decode(m_lines.next()) };
        if (!ListExtras::isMarker(block.first())) {
            m_foreignLines = true;
            return {};
        }
        while (!m_lines.atEnd() && !block.last().startsWith(u"#end ")) {
            block.append(m_decoder.decode(m_lines.next()));
            if (m_entries * qint64(sizeof(Entry)) + m_decoder.allocatedBytes() > m_memoryBudget) {
                // Too large to be one of ours: skipped whole rather than the lists given up.
                state = ListExtras::State::Damaged;
                return {};
            }
        }
        return ListExtras::parse(block, &state);
    }

    // Lines after the lists were no block of ours.
    bool hadForeignLines() const { return m_foreignLines; }

private:
    // How many entries to make room for: the count, but never more than the rest of the file can hold (each line
    // takes at least its end) or the memory budget allows, so that the list need not grow while it is read.
    // Room that is reserved but never filled costs no memory.
    size_t expectedEntries(int count, const Section& section) const
    {
        const qint64 fits = m_lines.remainingBytes() / (section.subItems + 1) + kMaxEntriesPastEnd + 1;
        const qint64 affordable = m_memoryBudget / qint64(sizeof(Entry)) - m_entries + 1;
        return static_cast<size_t>(std::max<qint64>(0, std::min({ qint64(count), fits, affordable })));
    }

    // The next field's text; lookUp tells whether the catalogue may have a string of it to share.
    QString field(const Section& section, int index, bool& lookUp)
    {
        const QByteArrayView line = m_lines.next();
        if (!((section.pooledFields >> index) & 1u))
            return m_decoder.decode(line);
        bool hit = false;
        PoolUse& use = m_poolUse[static_cast<size_t>(index)];
        QString text = use.givenUp ? m_decoder.decode(line) : m_decoder.pooled(line, &hit);
        if (!use.givenUp && m_decoder.poolFull()) {
            // A column whose texts the full pool hardly ever holds (names and prices that differ from row to row)
            // is decoded straight away: looking in the pool would cost a wait on memory for every field.
            use.found += hit ? 1 : 0;
            use.givenUp = ++use.asked >= PoolUse::kTrial && use.found * 4 < use.asked;
        }
        if (!hit && m_products && !m_products->empty() && ((section.catalogueFields >> index) & 1u)) {
            if (!m_catalogue)
                m_catalogue.emplace(*m_products);
            lookUp = true;
        }
        return text;
    }

    LineReader& m_lines;
    TextDecoder m_decoder;
    int m_entriesPastEnd = 0;
    qint64 m_memoryBudget;
    qint64 m_entries = 0;
    bool m_overBudget = false;
    // How often the pool had a column's text once it was full. The trial is longer than the pool, so that a column
    // of more distinct texts than the pool holds, each repeated later, keeps sharing those it has.
    struct PoolUse
    {
        static constexpr qint64 kTrial = 2 * kMaxPooledTexts;
        qint64 asked = 0;
        qint64 found = 0;
        bool givenUp = false;
    };

    static constexpr size_t kLookUpBatch = 64;
    std::array<PoolUse, Entry::kMaxSubItems + 1> m_poolUse {};
    std::vector<Entry>* m_products = nullptr;
    std::optional<CatalogueTexts> m_catalogue;
    std::vector<CatalogueTexts::Pending> m_pending;
    bool m_foreignLines = false;
};

} // namespace

namespace {

// Only a plain file: opening a pipe waits for a writer, and a device such as /dev/zero never ends. A file larger
// than any list is not read at all.
bool openPlainFile(QFile& file)
{
    const QFileInfo info(file.fileName());
    return info.isFile() && info.size() <= kMaxFileSize && file.open(QIODevice::ReadOnly);
}

ListContent parseLines(LineReader& lines)
{
    ListContent content;
    content.result = ReadResult::Ok;
    try {
        Parser parser(lines);
        for (size_t i = 0; i < kSections.size(); ++i) {
            if (!parser.readSection(content.sections[i], kSections[i])) {
                content.result = ReadResult::BadFormat;
                break;
            }
            if (i == kCatalogueSection)
                parser.shareCatalogueTexts(content.sections[i]);
        }
        if (parser.overBudget())
            content.sections = {};
        if (content.result == ReadResult::Ok)
            content.extras = parser.readExtras(content.facts.extras);
        // A block that could not be read is not written back: the file's own bytes are kept before a save.
        const bool extrasKept
            = content.facts.extras == ListExtras::State::Absent || content.facts.extras == ListExtras::State::Read;
        content.facts.complete = content.result == ReadResult::Ok && !parser.ranPastEnd() && lines.atEnd()
            && !parser.hadForeignLines() && extrasKept && !lines.stoppedAtEndMark() && parser.decodedEveryByte();
        content.facts.linesEnded = !lines.tookUnendedLine();
    } catch (const std::bad_alloc&) {
        // Too large for this machine's memory: empty lists and the format message rather than the end of the program.
        content.sections = {};
        content.result = ReadResult::BadFormat;
        content.facts.complete = false;
    }
    return content;
}

// Reads the file into content; the stamp and the hash of its bytes go with it.
ListContent readOpenedFile(QFile& file, const FileStamp& stamp)
{
    ContentHash hash;
    // Read as it is parsed: a large file is never held whole beside the entries made from it.
    LineReader lines(file, &hash);
    ListContent content = parseLines(lines);
    lines.hashRest();
    content.facts.stamp = stamp;
    content.facts.contentHash = hash.result();
    return content;
}

} // namespace

std::optional<QByteArray> readWholeFile(const QString& path)
{
    QFile file(path);
    if (!openPlainFile(file))
        return std::nullopt;
    // A read error after a successful open ends the data there, like the end of the file.
    return file.readAll();
}

ListContent readListContent(const QString& path)
{
    // Taken before the read: a change in between shows as different metadata, then settled by the content.
    const FileStamp stamp = FileStamp::of(path);
    QFile file(path);
    if (!openPlainFile(file))
        return {};
    return readOpenedFile(file, stamp);
}

ReadResult applyListContent(ListContent&& content, const ListSet& lists)
{
    if (content.result == ReadResult::CannotOpen)
        return content.result;
    for (size_t i = 0; i < kSections.size(); ++i) {
        ListModel& list = *(lists.*kSections[i].list);
        Q_ASSERT(list.subItemCount() == kSections[i].subItems);
        list.clear();
        list.appendAll(std::move(content.sections[i]));
    }
    if (lists.extras)
        *lists.extras = std::move(content.extras);
    return content.result;
}

ReadResult readListFile(const QString& path, const ListSet& lists, ReadFacts* facts)
{
    const FileStamp stamp = FileStamp::of(path);
    QFile file(path);
    if (!openPlainFile(file))
        return ReadResult::CannotOpen;
    // The old entries go before the new ones are read: a large list is never held twice.
    for (const Section& section : kSections)
        (lists.*section.list)->clear();
    if (lists.extras)
        lists.extras->clear();
    ListContent content = readOpenedFile(file, stamp);
    if (facts)
        *facts = content.facts;
    return applyListContent(std::move(content), lists);
}

ListContent parseListContent(QByteArrayView data)
{
    LineReader lines(data);
    return parseLines(lines);
}

ReadResult parseListFile(QByteArrayView data, const ListSet& lists)
{
    return applyListContent(parseListContent(data), lists);
}

bool readsCompletely(QByteArrayView data)
{
    LineReader lines(data);
    const ListContent content = parseLines(lines);
    return content.result == ReadResult::Ok && content.facts.isWholeVersion();
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
