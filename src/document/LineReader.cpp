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

LineReader::LineReader(QByteArrayView data)
{
    start(data);
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
    start(QByteArrayView(m_pos, m_end - m_pos));
    // Not settled by the first block alone: the rest of the file is looked through once for a CR.
    if (m_lineEnd == kLf && !m_exhausted && deviceHoldsCr())
        m_lineEnd = kCr;
}

bool LineReader::deviceHoldsCr()
{
    if (m_device->isSequential())
        return true;
    const qint64 resume = m_device->pos();
    QByteArray block(kBlockSize, Qt::Uninitialized);
    bool found = false;
    for (;;) {
        const qint64 got = m_device->read(block.data(), block.size());
        if (got <= 0)
            break;
        const auto size = static_cast<size_t>(got);
        const auto* stop = static_cast<const char*>(std::memchr(block.constData(), kEndOfFile, size));
        const size_t searched = stop ? static_cast<size_t>(stop - block.constData()) : size;
        found = searched > 0 && std::memchr(block.constData(), kCr, searched) != nullptr;
        if (found || stop)
            break;
    }
    // Read again by refill(), so that the hash takes every byte once.
    return m_device->seek(resume) ? found : true;
}

void LineReader::start(QByteArrayView head)
{
    m_utf8 = head.startsWith(kUtf8Bom);
    if (m_utf8)
        head = head.sliced(kUtf8Bom.size());
    m_pos = head.data();
    m_end = head.data() + head.size();
    cutAtEndOfFile(m_pos);
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
