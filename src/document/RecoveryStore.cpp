#include "RecoveryStore.h"

#include "ListFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMetaObject>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <algorithm>
#include <memory>

namespace korbana {

namespace {

QString& folderOverride()
{
    static QString folder;
    return folder;
}

QStringList blankHeaders(int columns)
{
    QStringList headers;
    for (int i = 0; i < columns; ++i)
        headers.append(QString());
    return headers;
}

// Writes the rows as a list file; the hash of the bytes written, empty on failure.
QByteArray writeSnapshot(const QString& path, ListsSnapshot&& snapshot)
{
    ListModel stores(blankHeaders(1));
    ListModel products(blankHeaders(3));
    ListModel shopping(blankHeaders(4));
    stores.appendAll(std::move(snapshot.stores));
    products.appendAll(std::move(snapshot.products));
    shopping.appendAll(std::move(snapshot.shopping));
    QByteArray hash;
    // Written in blocks, as a save is: a large list is never held a second time as one text. For the owner's eyes
    // only, and never through a link that someone put at its path.
    writeListFile(path, { &stores, &products, &shopping }, &hash, SaveFile::Kind::Private);
    return hash;
}

// The copies hold the lists of every document: the folder is the owner's alone, also when it existed before.
void makePrivateFolder(const QString& folder)
{
    QDir().mkpath(folder);
    if (!QFileInfo(folder).isSymLink())
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// A lock that a dead owner leaves stale at once, never by age: a window may run for weeks.
std::shared_ptr<QLockFile> ownerLockAt(const QString& path)
{
    auto lock = std::make_shared<QLockFile>(path);
    lock->setStaleLockTime(0);
    return lock->tryLock(0) ? lock : nullptr;
}

} // namespace

RecoveryStore::RecoveryStore()
    : m_owner(QStringLiteral("%1-%2")
                  .arg(QCoreApplication::applicationPid())
                  .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')))
{
    m_pool.setMaxThreadCount(1);
}

RecoveryStore::~RecoveryStore()
{
    waitForWrites();
    // Nothing left unsaved: the copy's companions go with the window. A copy still there stays to be offered.
    if (m_ownerLock && !QFileInfo::exists(copyPath()))
        QFile::remove(ownerPath(QStringLiteral(".name")));
}

QString RecoveryStore::folder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/korbana/recovery");
#else
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/recovery");
#endif
}

void RecoveryStore::setFolderOverride(const QString& folder)
{
    folderOverride() = folder;
}

QString RecoveryStore::ownerPath(const QString& suffix) const
{
    return folder() + u'/' + m_owner + suffix;
}

QString RecoveryStore::copyPath() const
{
    return ownerPath(QStringLiteral(".kbl"));
}

void SnapshotCopier::start(const ListSet& lists)
{
    m_lists[0] = lists.stores;
    m_lists[1] = lists.products;
    m_lists[2] = lists.shopping;
    m_snapshot = {};
    m_list = 0;
    m_row = 0;
    m_active = true;
}

void SnapshotCopier::cancel()
{
    m_active = false;
    m_snapshot = {};
}

std::vector<Entry>* SnapshotCopier::targetOf(int list)
{
    std::vector<Entry>* targets[] = { &m_snapshot.stores, &m_snapshot.products, &m_snapshot.shopping };
    return targets[list];
}

bool SnapshotCopier::copy(qsizetype rows)
{
    for (; m_list < 3; ++m_list, m_row = 0) {
        const ListModel& list = *m_lists[m_list];
        std::vector<Entry>& target = *targetOf(m_list);
        if (m_row == 0)
            target.reserve(static_cast<size_t>(list.count()));
        for (; m_row < list.count(); ++m_row) {
            if (rows-- <= 0)
                return false;
            target.push_back(list.entryAt(m_row));
        }
    }
    return true;
}

ListsSnapshot SnapshotCopier::take()
{
    m_active = false;
    return std::move(m_snapshot);
}

std::vector<LeftCopy> RecoveryStore::leftCopies(const std::optional<QString>& documentPath)
{
    std::vector<LeftCopy> copies;
    const QDir dir(folder());
    for (const QFileInfo& copy : dir.entryInfoList({ QStringLiteral("*.kbl") }, QDir::Files, QDir::Time)) {
        // Only copies that korbana wrote itself: a link at their place may lead anywhere.
        const QString owner = copy.completeBaseName();
        const QString name = dir.filePath(owner + QStringLiteral(".name"));
        if (copy.isSymLink() || QFileInfo(name).isSymLink())
            continue;
        const std::optional<QByteArray> path = readWholeFile(name);
        if (!path || (documentPath && QString::fromUtf8(*path) != *documentPath))
            continue;
        // A window that still runs holds its lock; a gone one left it stale, or none at all.
        std::shared_ptr<QLockFile> lock = ownerLockAt(dir.filePath(owner + QStringLiteral(".lock")));
        if (lock)
            copies.push_back({ copy.filePath(), QString::fromUtf8(*path), copy.lastModified(), std::move(lock) });
    }
    return copies;
}

std::optional<QByteArray> RecoveryStore::read(const LeftCopy& copy)
{
    if (QFileInfo(copy.copyPath).isSymLink())
        return std::nullopt;
    return readWholeFile(copy.copyPath);
}

QString RecoveryStore::setAside(const LeftCopy& copy, Aside why)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = copy.copyPath
        + (why == Aside::Damaged ? QStringLiteral(".beschaedigt-") : QStringLiteral(".abgelehnt-")) + stamp;
    QString aside = base;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = base + u'-' + QString::number(n);
    QFile::rename(copy.copyPath, aside);
    // Its document's path goes with it, with the same ending.
    const QString name = QFileInfo(copy.copyPath).path() + u'/' + QFileInfo(copy.copyPath).completeBaseName()
        + QStringLiteral(".name");
    QFile::rename(name, name + aside.mid(copy.copyPath.size()));
    return aside;
}

void RecoveryStore::adopt(const LeftCopy& copy)
{
    std::lock_guard lock(m_mutex);
    m_owner = QFileInfo(copy.copyPath).completeBaseName();
    m_ownerLock = copy.ownerLock;
    m_namedDocument = copy.documentPath;
}

bool RecoveryStore::holdOwnerLock()
{
    if (!m_ownerLock) {
        makePrivateFolder(folder());
        m_ownerLock = ownerLockAt(ownerPath(QStringLiteral(".lock")));
    }
    return m_ownerLock != nullptr;
}

void RecoveryStore::write(const QString& documentPath, ListsSnapshot snapshot, const QByteArray& savedHash,
    QObject* receiver, std::function<void(Outcome)> done)
{
    quint64 epoch = 0;
    {
        std::lock_guard lock(m_mutex);
        epoch = m_epoch;
    }
    auto lists = std::make_shared<ListsSnapshot>(std::move(snapshot));
    m_pool.start([this, lists, documentPath, savedHash, epoch, receiver, done = std::move(done)]() {
        std::lock_guard lock(m_mutex);
        if (epoch != m_epoch)
            return;
        const QString copy = copyPath();
        bool named = documentPath == m_namedDocument && !m_namedDocument.isNull();
        if (holdOwnerLock() && !named) {
            // The document's path first: a copy is only ever found with it.
            SaveFile name(ownerPath(QStringLiteral(".name")), SaveFile::Kind::Private);
            named = saveWholeFile(name, documentPath.toUtf8()) == WriteResult::Ok;
            m_namedDocument = named ? (documentPath.isNull() ? QStringLiteral("") : documentPath) : QString();
        }
        const QByteArray written = named ? writeSnapshot(copy, std::move(*lists)) : QByteArray();
        Outcome outcome = written.isEmpty() ? Outcome::Failed : Outcome::Written;
        if (outcome == Outcome::Written && written == savedHash) {
            // What the file holds already: no copy is needed.
            QFile::remove(copy);
            outcome = Outcome::Unchanged;
        }
        // The receiver outlives the write: its owner waits for the writes before it goes.
        if (receiver)
            QMetaObject::invokeMethod(
                receiver, [done, outcome] { done(outcome); }, Qt::QueuedConnection);
    });
}

void RecoveryStore::remove()
{
    std::lock_guard lock(m_mutex);
    ++m_epoch;
    QFile::remove(copyPath());
}

void RecoveryStore::waitForWrites()
{
    m_pool.waitForDone();
}

} // namespace korbana
