#include "DurableFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace korbana {

namespace {

// A save of another window may take a while on a slow share; younger temporaries may still be in use.
constexpr int kStaleAfterSeconds = 5 * 60;

// The temporary's name: hidden, and saying whose it is, so that no user would give a file of theirs this name.
constexpr QStringView kTemporaryInfix = u".korbana-";
constexpr QStringView kTemporarySuffix = u".tmp";
constexpr int kTemporaryRandomLength = 6;

constexpr unsigned kOwnerOnly = 0600;

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

QString temporaryPrefix(const QString& base)
{
    return u'.' + base + kTemporaryInfix;
}

QString randomLetters()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString letters;
    for (int i = 0; i < kTemporaryRandomLength; ++i)
        letters += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof(kLetters) - 1))]);
    return letters;
}

// What a new file gets from the system: 0666 less the process's umask. Read without changing the umask, which
// another thread might meanwhile need.
unsigned newFileBits()
{
    static const unsigned bits = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : status.readAll().split('\n')) {
                bool ok = false;
                const unsigned mask = line.startsWith("Umask:") ? line.mid(6).trimmed().toUInt(&ok, 8) : 0;
                if (ok)
                    return 0666u & ~mask;
            }
        }
        return 0644u;
    }();
    return bits;
}

// Replaces to with from in one step.
bool renameOver(const QString& from, const QString& to)
{
#ifdef Q_OS_UNIX
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#else
    QFile::remove(to);
    return QFile::rename(from, to);
#endif
}

bool sameContent(QFile& a, QFile& b)
{
    constexpr qint64 kBlock = 1 << 20;
    for (;;) {
        const QByteArray left = a.read(kBlock);
        const QByteArray right = b.read(kBlock);
        if (left != right)
            return false;
        if (left.isEmpty())
            return a.error() == QFileDevice::NoError && b.error() == QFileDevice::NoError;
    }
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

std::optional<unsigned> permissionBitsOf(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return static_cast<unsigned>(status.st_mode) & 07777u;
#else
    return QFileInfo::exists(path) ? std::optional<unsigned>(0644u) : std::nullopt;
#endif
}

bool makeOwnerOnlyFolder(const QString& folder)
{
    QDir().mkpath(folder);
    const QFileInfo info(folder);
    if (!info.isSymLink())
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return info.isDir();
}

void limitReadersTo(const QString& path, const QString& source)
{
#ifdef Q_OS_UNIX
    const std::optional<unsigned> allowed = permissionBitsOf(source);
    struct stat status
    {
    };
    const QByteArray name = QFile::encodeName(path);
    // A link is left alone: its own bits mean nothing, and what it points to is not ours.
    if (!allowed || ::lstat(name.constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return;
    const unsigned bits = static_cast<unsigned>(status.st_mode) & 07777u;
    const unsigned limited = bits & (*allowed | 0700u);
    if (limited != bits)
        ::chmod(name.constData(), static_cast<mode_t>(limited));
#else
    Q_UNUSED(path);
    Q_UNUSED(source);
#endif
}

bool setPermissionBits(QFileDevice& file, unsigned bits)
{
#ifdef Q_OS_UNIX
    return file.handle() >= 0 && ::fchmod(file.handle(), static_cast<mode_t>(bits)) == 0;
#else
    Q_UNUSED(file);
    Q_UNUSED(bits);
    return true;
#endif
}

bool isOwnSaveTemporary(const QString& candidate, const QString& base)
{
    const QString prefix = temporaryPrefix(base);
    if (candidate.size() != prefix.size() + kTemporaryRandomLength + kTemporarySuffix.size()
        || !candidate.startsWith(prefix) || !candidate.endsWith(kTemporarySuffix))
        return false;
    const QStringView letters = QStringView(candidate).sliced(prefix.size(), kTemporaryRandomLength);
    return std::all_of(
        letters.begin(), letters.end(), [](QChar c) { return c.isLetterOrNumber() && c.unicode() < 0x80; });
}

void removeStaleSaveTemporaries(const QString& path)
{
    const QFileInfo target(path);
    const QString base = target.fileName();
    const QDateTime staleBefore = QDateTime::currentDateTimeUtc().addSecs(-kStaleAfterSeconds);
    // The name filter only narrows the listing (the name may hold wildcard characters); the check is exact.
    const QFileInfoList candidates
        = target.absoluteDir().entryInfoList({ QStringLiteral(".*") + kTemporaryInfix + u'*' + kTemporarySuffix },
            QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& candidate : candidates) {
        if (isOwnSaveTemporary(candidate.fileName(), base) && candidate.lastModified().toUTC() < staleBefore)
            QFile::remove(candidate.filePath());
    }
}

SaveFile::SaveFile(const QString& target, Kind kind)
    : m_target(target)
    , m_kind(kind)
{
    const QFileInfo info(target);
    // The user's file may be a link (to a synced folder, say): the file it points to is replaced, not the link.
    if (kind == Kind::Shared && info.isSymLink())
        m_target = info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
    setFileName(m_target);
}

SaveFile::~SaveFile()
{
    cancel();
}

bool SaveFile::begin()
{
    m_keptExisting = false;
    const QFileInfo target(m_target);
    // A private copy goes nowhere else than its own path: a link there may lead into another's reach.
    if (isOpen() || !isReplaceableTarget(m_target) || (m_kind == Kind::Private && target.isSymLink()))
        return false;
    const QString prefix = target.absolutePath() + u'/' + temporaryPrefix(target.fileName());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = prefix + randomLetters() + kTemporarySuffix;
        setFileName(name);
        // NewOnly: never into a file (or through a link) that is there already.
        if (QFile::open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            return true;
        const QFileInfo taken(name);
        if (!taken.exists() && !taken.isSymLink())
            break;
    }
    setFileName(m_target);
    return false;
}

bool SaveFile::targetHoldsSameBytes()
{
    const QFileInfo target(m_target);
    if (!target.isFile() || target.size() != size())
        return false;
    QFile existing(m_target);
    QFile written(fileName());
    return existing.open(QIODevice::ReadOnly) && written.open(QIODevice::ReadOnly) && sameContent(existing, written);
}

bool SaveFile::commit()
{
    m_keptExisting = false;
    if (!isOpen() || fileName() == m_target)
        return false;
    if (!flush()) {
        cancel();
        return false;
    }
    if (m_kind == Kind::Shared && targetHoldsSameBytes()) {
        // Durable as a write would be: the bytes may be another program's, not yet on the disk.
        QFile existing(m_target);
        if (existing.open(QIODevice::ReadOnly) && syncToDisk(existing)) {
            cancel();
            m_keptExisting = true;
            removeStaleSaveTemporaries(m_target);
            return true;
        }
    }
    unsigned bits = m_kind == Kind::Private ? kOwnerOnly : permissionBitsOf(m_target).value_or(newFileBits());
    if (const std::optional<unsigned> allowed
        = m_readersLike.isEmpty() ? std::nullopt : permissionBitsOf(m_readersLike))
        bits &= *allowed | 0700u;
    bool ok = setPermissionBits(*this, bits) && syncToDisk(*this);
    close();
    ok = ok && error() == QFileDevice::NoError && renameOver(fileName(), m_target);
    if (!ok) {
        cancel();
        return false;
    }
    setFileName(m_target);
    syncFolderOf(m_target);
    removeStaleSaveTemporaries(m_target);
    return true;
}

void SaveFile::cancel()
{
    if (isOpen())
        close();
    if (fileName() != m_target) {
        QFile::remove(fileName());
        setFileName(m_target);
    }
}

void setDiskSyncForTesting(std::function<bool(int fd)> sync)
{
    diskSyncOverride() = std::move(sync);
}

} // namespace korbana
