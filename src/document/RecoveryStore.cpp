#include "RecoveryStore.h"

#include "ListFile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QStandardPaths>

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

} // namespace

RecoveryStore::RecoveryStore()
{
    m_pool.setMaxThreadCount(1);
}

RecoveryStore::~RecoveryStore()
{
    waitForWrites();
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

QString RecoveryStore::copyPathFor(const QString& documentPath)
{
    const QFileInfo document(documentPath);
    const QByteArray key
        = QCryptographicHash::hash(document.absoluteFilePath().toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    // The document's name first, so that a person looking into the folder finds theirs.
    return folder() + u'/' + document.completeBaseName() + u'-' + QString::fromLatin1(key) + QStringLiteral(".kbl");
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

std::optional<QByteArray> RecoveryStore::read(const QString& documentPath)
{
    const QString copy = copyPathFor(documentPath);
    // Only a copy that korbana wrote itself: a link at its place may lead anywhere.
    if (documentPath.isEmpty() || QFileInfo(copy).isSymLink())
        return std::nullopt;
    return readWholeFile(copy);
}

void RecoveryStore::setAside(const QString& documentPath)
{
    const QString copy = copyPathFor(documentPath);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = copy + QStringLiteral(".abgelehnt-") + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = copy + QStringLiteral(".abgelehnt-") + stamp + u'-' + QString::number(n);
    QFile::rename(copy, aside);
}

void RecoveryStore::write(const QString& documentPath, ListsSnapshot snapshot, const QByteArray& savedHash,
    QObject* receiver, std::function<void()> unchanged)
{
    quint64 epoch = 0;
    {
        std::lock_guard lock(m_mutex);
        epoch = m_epoch;
    }
    auto lists = std::make_shared<ListsSnapshot>(std::move(snapshot));
    const QString copy = copyPathFor(documentPath);
    m_pool.start([this, lists, copy, savedHash, epoch, receiver, unchanged = std::move(unchanged)]() {
        std::lock_guard lock(m_mutex);
        if (epoch != m_epoch)
            return;
        makePrivateFolder(QFileInfo(copy).absolutePath());
        const QByteArray written = writeSnapshot(copy, std::move(*lists));
        if (written.isEmpty() || written != savedHash)
            return;
        // What the file holds already: no copy is needed.
        QFile::remove(copy);
        // The receiver outlives the write: its owner waits for the writes before it goes.
        if (receiver)
            QMetaObject::invokeMethod(receiver, unchanged, Qt::QueuedConnection);
    });
}

void RecoveryStore::remove(const QString& documentPath)
{
    if (documentPath.isEmpty())
        return;
    std::lock_guard lock(m_mutex);
    ++m_epoch;
    QFile::remove(copyPathFor(documentPath));
}

void RecoveryStore::waitForWrites()
{
    m_pool.waitForDone();
}

} // namespace korbana
