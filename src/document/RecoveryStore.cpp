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

void RecoveryStream::add(QByteArray bytes)
{
    std::lock_guard lock(m_mutex);
    if (m_cancelled)
        return;
    m_pending += bytes.size();
    m_blocks.push_back({ std::move(bytes), false });
    m_ready.notify_one();
}

void RecoveryStream::restart(QByteArray bytes)
{
    std::lock_guard lock(m_mutex);
    if (m_cancelled)
        return;
    // Blocks not written yet need not be.
    m_blocks.clear();
    m_pending = bytes.size();
    m_blocks.push_back({ std::move(bytes), true });
    m_ready.notify_one();
}

void RecoveryStream::finish()
{
    std::lock_guard lock(m_mutex);
    m_finished = true;
    m_ready.notify_one();
}

void RecoveryStream::cancel()
{
    std::lock_guard lock(m_mutex);
    m_cancelled = true;
    m_blocks.clear();
    m_pending = 0;
    m_ready.notify_one();
}

bool RecoveryStream::isCancelled() const
{
    std::lock_guard lock(m_mutex);
    return m_cancelled;
}

qsizetype RecoveryStream::pending() const
{
    std::lock_guard lock(m_mutex);
    return m_pending;
}

RecoveryStream::Next RecoveryStream::take(Block& block)
{
    std::unique_lock lock(m_mutex);
    m_ready.wait(lock, [this] { return m_cancelled || m_finished || !m_blocks.empty(); });
    if (m_cancelled)
        return Next::Cancelled;
    if (m_blocks.empty())
        return Next::Finished;
    block = std::move(m_blocks.front());
    m_blocks.pop_front();
    m_pending -= block.bytes.size();
    return Next::Block;
}

RecoveryCopier::~RecoveryCopier()
{
    // The writer waits for the rest, which will never come.
    cancel();
}

void RecoveryCopier::start(const ListSet& lists, std::shared_ptr<RecoveryStream> stream)
{
    cancel();
    m_encoder.emplace(lists);
    m_stream = std::move(stream);
}

void RecoveryCopier::cancel()
{
    if (m_stream)
        m_stream->cancel();
    m_stream.reset();
    m_encoder.reset();
}

bool RecoveryCopier::isWriterBehind() const
{
    return m_stream && m_stream->pending() > kMaxPendingBytes;
}

bool RecoveryCopier::copy(qsizetype rows)
{
    if (!m_stream || m_stream->isCancelled()) {
        cancel();
        return true;
    }
    if (isWriterBehind())
        return false;
    QByteArray bytes;
    // Room for the last row past the limit, so that the slice is not moved while it grows.
    bytes.reserve(kBytesPerTurn + kBytesPerTurn / 4);
    const ListEncoder::Step step = m_encoder->encode(bytes, rows, kBytesPerTurn);
    if (step == ListEncoder::Step::NeedsUtf8) {
        m_encoder->restartInUtf8(bytes);
        m_stream->restart(std::move(bytes));
        return false;
    }
    m_stream->add(std::move(bytes));
    if (step != ListEncoder::Step::Done)
        return false;
    m_stream->finish();
    m_stream.reset();
    m_encoder.reset();
    return true;
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

bool RecoveryStore::nameDocument(const QString& documentPath)
{
    if (!holdOwnerLock())
        return false;
    if (documentPath == m_namedDocument && !m_namedDocument.isNull())
        return true;
    // The document's path first: a copy is only ever found with it.
    SaveFile name(ownerPath(QStringLiteral(".name")), SaveFile::Kind::Private);
    const bool named = saveWholeFile(name, documentPath.toUtf8()) == WriteResult::Ok;
    m_namedDocument = named ? (documentPath.isNull() ? QStringLiteral("") : documentPath) : QString();
    return named;
}

std::shared_ptr<RecoveryStream> RecoveryStore::begin(
    const QString& documentPath, const QByteArray& savedHash, QObject* receiver, std::function<void(Outcome)> done)
{
    quint64 epoch = 0;
    {
        std::lock_guard lock(m_mutex);
        epoch = m_epoch;
    }
    auto stream = std::make_shared<RecoveryStream>();
    m_pool.start([this, stream, documentPath, savedHash, epoch, receiver, done = std::move(done)]() {
        const auto tell = [receiver, &done](Outcome outcome) {
            // The receiver outlives the write: its owner waits for the writes before it goes.
            if (receiver)
                QMetaObject::invokeMethod(
                    receiver, [done, outcome] { done(outcome); }, Qt::QueuedConnection);
        };
        std::unique_ptr<SaveFile> file;
        {
            std::lock_guard lock(m_mutex);
            if (epoch != m_epoch) {
                stream->cancel();
                return;
            }
            // For the owner's eyes only, and never through a link that someone put at its path.
            if (nameDocument(documentPath))
                file = std::make_unique<SaveFile>(copyPath(), SaveFile::Kind::Private);
        }
        // Written without the lock as the bytes come, so that removing the copy never waits for the window.
        bool written = file && file->begin();
        ContentHash hash;
        RecoveryStream::Block block;
        RecoveryStream::Next next = RecoveryStream::Next::Cancelled;
        while (written && (next = stream->take(block)) == RecoveryStream::Next::Block) {
            if (block.restart) {
                hash = ContentHash();
                written = file->seek(0);
            }
            hash.add(block.bytes);
            written = written && file->write(block.bytes) == block.bytes.size() && file->flush();
            block = {};
        }
        if (!written) {
            // The window stops encoding for it.
            stream->cancel();
            if (file)
                file->cancel();
            tell(Outcome::Failed);
            return;
        }
        std::lock_guard lock(m_mutex);
        // Given up, or removed meanwhile (a save made it needless): nothing is put in place.
        if (next != RecoveryStream::Next::Finished || epoch != m_epoch) {
            file->cancel();
            return;
        }
        Outcome outcome = file->commit() ? Outcome::Written : Outcome::Failed;
        if (outcome == Outcome::Written && hash.result() == savedHash) {
            // What the file holds already: no copy is needed.
            QFile::remove(copyPath());
            outcome = Outcome::Unchanged;
        }
        tell(outcome);
    });
    return stream;
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
