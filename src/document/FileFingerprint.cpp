#include "FileFingerprint.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace korbana {

namespace {

// The pieces that the hash is chained over, whatever the sizes in which the bytes arrive.
constexpr qsizetype kChunk = 0x10000; // 64 KiB

} // namespace

FileStamp FileStamp::of(const QString& path)
{
    FileStamp stamp;
    const QFileInfo info(path);
    if (!info.exists())
        return stamp;
    stamp.exists = true;
    stamp.size = info.size();
    stamp.modified = info.lastModified();
#ifdef Q_OS_UNIX
    // An atomic replace by another program keeps size and time perhaps, never the inode.
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) == 0) {
        stamp.device = static_cast<quint64>(status.st_dev);
        stamp.inode = static_cast<quint64>(status.st_ino);
    }
#endif
    return stamp;
}

bool FileStamp::sameMetadata(const FileStamp& other) const
{
    return exists == other.exists && size == other.size && modified == other.modified && device == other.device
        && inode == other.inode;
}

void ContentHash::addChunk(const char* data)
{
    m_state = qHashBits(data, kChunk, m_state);
}

void ContentHash::add(QByteArrayView bytes)
{
    m_length += bytes.size();
    if (!m_pending.isEmpty()) {
        const qsizetype taken = std::min(kChunk - m_pending.size(), bytes.size());
        m_pending.append(bytes.first(taken));
        bytes = bytes.sliced(taken);
        if (m_pending.size() < kChunk)
            return;
        addChunk(m_pending.constData());
        m_pending.clear();
    }
    while (bytes.size() >= kChunk) {
        addChunk(bytes.data());
        bytes = bytes.sliced(kChunk);
    }
    m_pending.append(bytes);
}

bool ContentHash::addRest(QIODevice& device)
{
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = device.read(block.data(), block.size());
        if (got <= 0)
            return got == 0;
        add(QByteArrayView(block).first(got));
    }
}

QByteArray ContentHash::result() const
{
    const size_t tail = qHashBits(m_pending.constData(), static_cast<size_t>(m_pending.size()), m_state);
    QByteArray out;
    out.append(reinterpret_cast<const char*>(&tail), sizeof tail);
    out.append(reinterpret_cast<const char*>(&m_length), sizeof m_length);
    return out;
}

QByteArray ContentHash::of(QByteArrayView bytes)
{
    ContentHash hash;
    hash.add(bytes);
    return hash.result();
}

QByteArray ContentHash::ofFile(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    ContentHash hash;
    if (!hash.addRest(file))
        return {};
    return hash.result();
}

} // namespace korbana
