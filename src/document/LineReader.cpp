#include "LineReader.h"

#include "FileFingerprint.h"

#include <QIODevice>

#include <cstring>

namespace korbana {

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kEndOfFile = 26;
constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
// Large enough that reading costs one call per many thousand lines, small beside a large file.
constexpr qsizetype kBlockSize = 1 << 20;

} // namespace

// Follows bytes block by block and tells whether they are valid UTF-8 with at least one character of more than one
// byte. Overlong forms, surrogates and code points past U+10FFFF are no UTF-8.
class Utf8Check
{
public:
    void add(const char* from, const char* to)
    {
        const auto* p = reinterpret_cast<const unsigned char*>(from);
        const auto* const end = reinterpret_cast<const unsigned char*>(to);
        while (m_valid && p != end) {
            if (m_pending == 0) {
                // Most of a list is ASCII: eight bytes at a time until one has its high bit set.
                while (end - p >= 8) {
                    quint64 word;
                    std::memcpy(&word, p, sizeof word);
                    if (word & 0x8080808080808080ULL)
                        break;
                    p += 8;
                }
                if (p == end)
                    break;
                lead(*p++);
                continue;
            }
            const unsigned char c = *p++;
            if (c < m_low || c > m_high) {
                m_valid = false;
                break;
            }
            m_low = 0x80;
            m_high = 0xBF;
            --m_pending;
        }
    }
    // Settled either way before the end: a byte that is no UTF-8 was seen.
    bool isSettled() const { return !m_valid; }
    // At the end of the bytes.
    bool isUtf8() const { return m_valid && m_pending == 0 && m_multiByte; }

private:
    void lead(unsigned char c)
    {
        if (c < 0x80)
            return;
        m_multiByte = true;
        m_low = 0x80;
        m_high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            m_pending = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            m_pending = 2;
            if (c == 0xE0)
                m_low = 0xA0; // overlong
            else if (c == 0xED)
                m_high = 0x9F; // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            m_pending = 3;
            if (c == 0xF0)
                m_low = 0x90; // overlong
            else if (c == 0xF4)
                m_high = 0x8F; // past U+10FFFF
        } else {
            m_valid = false;
        }
    }

    int m_pending = 0; // continuation bytes still due
    unsigned char m_low = 0x80; // the range of the next continuation byte
    unsigned char m_high = 0xBF;
    bool m_valid = true;
    bool m_multiByte = false;
};

bool readsAsUtf8(QByteArrayView bytes)
{
    Utf8Check utf8;
    utf8.add(bytes.data(), bytes.data() + bytes.size());
    return utf8.isUtf8();
}

LineReader::LineReader(QByteArrayView data)
{
    Utf8Check utf8;
    start(data, utf8);
    m_utf8 = m_utf8 || utf8.isUtf8();
}

LineReader::LineReader(QIODevice& device, ContentHash* hash)
    : m_device(&device)
    , m_hash(hash)
    , m_exhausted(false)
{
    m_buffer.reserve(kBlockSize);
    // The mark is looked for once at the start: the first block holds it whole.
    m_pos = m_end = m_buffer.constData();
    refill();
    Utf8Check utf8;
    start(QByteArrayView(m_pos, m_end - m_pos), utf8);
    // Not settled by the first block alone: the rest of the file is looked through once.
    if (!m_exhausted && (m_lineEnd == kLf || (!m_utf8 && !utf8.isSettled())))
        scanRestOfDevice(utf8);
    else
        m_utf8 = m_utf8 || utf8.isUtf8();
}

void LineReader::scanRestOfDevice(Utf8Check& utf8)
{
    bool lookForCr = m_lineEnd == kLf;
    const bool lookAtUtf8 = !m_utf8 && !utf8.isSettled();
    const qint64 resume = m_device->isSequential() ? -1 : m_device->pos();
    // A stream cannot be read twice: its lines are taken to end at CR, its texts as Windows-1252.
    if (resume < 0) {
        m_lineEnd = kCr;
        return;
    }
    QByteArray block(kBlockSize, Qt::Uninitialized);
    bool reachedEnd = false;
    while (lookForCr || (lookAtUtf8 && !utf8.isSettled())) {
        const qint64 got = m_device->read(block.data(), block.size());
        if (got <= 0) {
            reachedEnd = true;
            break;
        }
        const auto size = static_cast<size_t>(got);
        const auto* stop = static_cast<const char*>(std::memchr(block.constData(), kEndOfFile, size));
        const size_t searched = stop ? static_cast<size_t>(stop - block.constData()) : size;
        if (lookForCr && searched > 0 && std::memchr(block.constData(), kCr, searched) != nullptr) {
            m_lineEnd = kCr;
            lookForCr = false;
        }
        if (lookAtUtf8)
            utf8.add(block.constData(), block.constData() + searched);
        if (stop) {
            reachedEnd = true;
            break;
        }
    }
    if (lookAtUtf8)
        m_utf8 = reachedEnd && utf8.isUtf8();
    // Read again by refill(), so that the hash takes every byte once.
    if (!m_device->seek(resume)) {
        m_lineEnd = kCr;
        m_utf8 = m_utf8 && !lookAtUtf8;
    }
}

void LineReader::start(QByteArrayView head, Utf8Check& utf8)
{
    m_utf8 = head.startsWith(kUtf8Bom);
    if (m_utf8)
        head = head.sliced(kUtf8Bom.size());
    m_pos = head.data();
    m_end = head.data() + head.size();
    cutAtEndOfFile(m_pos);
    if (!m_utf8)
        utf8.add(m_pos, m_end);
    const bool holdsCr = m_pos != m_end && std::memchr(m_pos, kCr, static_cast<size_t>(m_end - m_pos));
    m_lineEnd = holdsCr ? kCr : kLf;
}

void LineReader::cutAtEndOfFile(const char* from)
{
    // No memchr over nothing: an empty file's bytes may have no address at all.
    if (from == m_end)
        return;
    if (const auto* stop = static_cast<const char*>(std::memchr(from, kEndOfFile, static_cast<size_t>(m_end - from)))) {
        m_end = stop;
        m_exhausted = true;
        m_stoppedAtEndMark = true;
    }
}

bool LineReader::refill()
{
    if (m_exhausted)
        return false;
    const qsizetype kept = m_end - m_pos;
    if (kept > 0 && m_pos != m_buffer.constData())
        std::memmove(m_buffer.data(), m_pos, static_cast<size_t>(kept));
    // A line longer than the buffer makes it grow; otherwise the buffer keeps its size.
    m_buffer.resize(std::max(m_buffer.capacity(), kept + kBlockSize));
    const qint64 got = m_device->read(m_buffer.data() + kept, m_buffer.size() - kept);
    const qsizetype added = got > 0 ? static_cast<qsizetype>(got) : 0;
    m_pos = m_buffer.constData();
    m_end = m_pos + kept + added;
    if (added == 0) {
        m_exhausted = true;
        return false;
    }
    if (m_hash)
        m_hash->add(QByteArrayView(m_end - added, added));
    cutAtEndOfFile(m_end - added);
    return true;
}

bool LineReader::atEnd()
{
    while (m_pos == m_end) {
        if (!refill())
            return true;
    }
    return false;
}

QByteArrayView LineReader::next()
{
    for (qsizetype searched = 0;;) {
        const char* from = m_pos + searched;
        const auto* cr = from == m_end
            ? nullptr
            : static_cast<const char*>(std::memchr(from, m_lineEnd, static_cast<size_t>(m_end - from)));
        // A CR at the end of the bytes read may have its LF in the next block.
        if (cr && (m_lineEnd == kLf || cr + 1 != m_end || m_exhausted)) {
            const char* start = m_pos;
            m_pos = cr + 1;
            if (m_lineEnd == kCr && m_pos != m_end && *m_pos == kLf)
                ++m_pos;
            return { start, cr - start };
        }
        searched = cr ? cr - m_pos : m_end - m_pos;
        if (!refill() && !cr) {
            const char* start = m_pos;
            m_pos = m_end;
            m_tookUnendedLine = true;
            return { start, m_end - start };
        }
    }
}

void LineReader::hashRest()
{
    if (m_hash && m_device)
        m_hash->addRest(*m_device);
}

qint64 LineReader::remainingBytes() const
{
    const qint64 buffered = m_end - m_pos;
    if (m_exhausted || !m_device)
        return buffered;
    return buffered + std::max<qint64>(0, m_device->size() - m_device->pos());
}

} // namespace korbana
