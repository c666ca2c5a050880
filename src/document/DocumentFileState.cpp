#include "DocumentFileState.h"

#include "DurableFile.h"
#include "ListFile.h"

#include <QFile>
#include <QFileInfo>

namespace korbana {

void DocumentFileState::loaded(
    const QString& path, const FileStamp& stamp, const QByteArray& contentHash, bool complete)
{
    m_path = path;
    m_stamp = stamp;
    m_hash = contentHash;
    m_complete = complete;
}

void DocumentFileState::written(const QString& path, const QByteArray& contentHash)
{
    m_path = path;
    m_stamp = FileStamp::of(path);
    m_hash = contentHash;
    m_complete = true;
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
    const QByteArray content = ContentHash::ofFile(m_path);
    return content.isEmpty() || content != m_hash;
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
        // Created for the owner alone, then given the list's own permission bits before a byte is in it: the copy
        // is never more readable than the list.
        if (!backup.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
            if (QFileInfo::exists(name))
                continue;
            return std::nullopt;
        }
        const bool ok = setPermissionBits(backup, permissionBitsOf(m_path).value_or(0600u))
            && backup.write(*original) == original->size() && syncToDisk(backup);
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

} // namespace korbana
