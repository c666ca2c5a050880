#include "DurableFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileDevice>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace korbana {

namespace {

// A save of another program may take a while on a slow share; younger temporaries may still be in use.
constexpr qint64 kStaleAfterSeconds = 5 * 60;

std::function<bool(int)>& diskSyncOverride()
{
    static std::function<bool(int)> sync;
    return sync;
}

bool systemSync(int fd)
{
#if defined(Q_OS_LINUX)
    return ::fdatasync(fd) == 0;
#elif defined(Q_OS_UNIX)
    return ::fsync(fd) == 0;
#else
    Q_UNUSED(fd);
    return true;
#endif
}

bool isSaveTemporaryName(const QString& candidate, const QString& base)
{
    // QSaveFile's temporaries carry six letters or digits after the name and a dot.
    if (candidate.size() != base.size() + 7 || !candidate.startsWith(base) || candidate[base.size()] != u'.')
        return false;
    const QStringView suffix = QStringView(candidate).sliced(base.size() + 1);
    for (const QChar c : suffix) {
        if (!c.isLetterOrNumber() || c.unicode() > 0x7f)
            return false;
    }
    // Never a kept original ("<name>.bak123").
    bool backupNumber = false;
    if (suffix.startsWith(u"bak"))
        backupNumber = suffix.sliced(3).toInt(&backupNumber) > 0 && backupNumber;
    return !backupNumber;
}

} // namespace

bool isReplaceableTarget(const QString& path)
{
    const QFileInfo info(path);
    // exists() follows links: a dangling link is written through like a new file.
    return !info.exists() || info.isFile();
}

bool syncToDisk(QFileDevice& file)
{
    if (!file.flush())
        return false;
    const int fd = file.handle();
    if (fd < 0)
        return true;
    return diskSyncOverride() ? diskSyncOverride()(fd) : systemSync(fd);
}

void syncFolderOf(const QString& path)
{
#ifdef Q_OS_UNIX
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
#else
    Q_UNUSED(path);
#endif
}

void removeStaleSaveTemporaries(const QString& path)
{
    const QFileInfo target(path);
    const QString base = target.fileName();
    const QDateTime staleBefore = QDateTime::currentDateTimeUtc().addSecs(-kStaleAfterSeconds);
    const QFileInfoList candidates = target.absoluteDir().entryInfoList(
        { base + QStringLiteral(".??????") }, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& candidate : candidates) {
        if (isSaveTemporaryName(candidate.fileName(), base) && candidate.lastModified().toUTC() < staleBefore)
            QFile::remove(candidate.filePath());
    }
}

void setDiskSyncForTesting(std::function<bool(int fd)> sync)
{
    diskSyncOverride() = std::move(sync);
}

} // namespace korbana
