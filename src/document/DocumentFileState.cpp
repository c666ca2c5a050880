#include "DocumentFileState.h"

#include "DurableFile.h"
#include "ListFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace korbana {

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

std::optional<QByteArray> DocumentFileState::read(const QString& path)
{
    // Taken before the read: a change in between shows as different metadata and is then settled by the hash.
    const FileStamp stamp = FileStamp::of(path);
    std::optional<QByteArray> data = readWholeFile(path);
    if (!data)
        return data;
    m_path = path;
    m_stamp = stamp;
    m_hash = hashOf(*data);
    m_complete = true;
    m_modified = false;
    return data;
}

void DocumentFileState::written(const QString& path, QByteArrayView bytes)
{
    m_path = path;
    m_stamp = FileStamp::of(path);
    m_hash = hashOf(bytes);
    m_complete = true;
    m_modified = false;
}

void DocumentFileState::forget()
{
    *this = DocumentFileState();
}

bool DocumentFileState::changedElsewhere() const
{
    if (m_path.isEmpty())
        return false;
    const FileStamp now = FileStamp::of(m_path);
    if (!now.exists)
        return false;
    if (!m_stamp.exists)
        return true;
    if (now.sameMetadata(m_stamp))
        return false;
    if (now.size != m_stamp.size)
        return true;
    // Touched, or replaced by a file of the same size: only the content tells.
    const std::optional<QByteArray> data = readWholeFile(m_path);
    return !data || hashOf(*data) != m_hash;
}

bool DocumentFileState::needsBackup(const QString& path) const
{
    return !m_complete && path == m_path && QFileInfo(path).isFile();
}

std::optional<QString> DocumentFileState::keepBackup() const
{
    const std::optional<QByteArray> original = readWholeFile(m_path);
    if (!original)
        return std::nullopt;
    for (int number = 1; number < 10000; ++number) {
        const QString name = m_path + QStringLiteral(".bak") + (number > 1 ? QString::number(number) : QString());
        const QFileInfo info(name);
        if (info.exists() || info.isSymLink())
            continue;
        QFile backup(name);
        // NewOnly: a backup that appeared in the meantime is never overwritten.
        if (!backup.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(name))
                continue;
            return std::nullopt;
        }
        const bool ok = backup.write(*original) == original->size() && syncToDisk(backup);
        backup.close();
        if (!ok) {
            backup.remove();
            return std::nullopt;
        }
        syncFolderOf(name);
        return name;
    }
    return std::nullopt;
}

QByteArray DocumentFileState::hashOf(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

} // namespace korbana
