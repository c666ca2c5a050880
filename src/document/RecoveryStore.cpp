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
#include <QRegularExpression>
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

// The companions of a copy <owner>.kbl.
const QString kName = QStringLiteral(".name");
const QString kBase = QStringLiteral(".base");
const QString kLock = QStringLiteral(".lock");

// Owners are "<process id>-<8 hex digits>": any other file in the folder is none of korbana's copies.
bool isOwnerName(const QString& owner)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9]+-[0-9a-f]{8}$"));
    return pattern.match(owner).hasMatch();
}

// The file the lists went on from, as text: size, time, device and inode; empty when there is none.
QByteArray encodeStamp(const FileStamp& stamp)
{
    if (!stamp.exists)
        return {};
    return QByteArray::number(stamp.size) + ' ' + QByteArray::number(stamp.modified.toMSecsSinceEpoch()) + ' '
        + QByteArray::number(stamp.device) + ' ' + QByteArray::number(stamp.inode) + '\n';
}

FileStamp decodeStamp(const QByteArray& text)
{
    const QList<QByteArray> fields = text.trimmed().split(' ');
    if (fields.size() != 4)
        return {};
    bool ok[4] = {};
    FileStamp stamp;
    stamp.size = fields[0].toLongLong(&ok[0]);
    stamp.modified = QDateTime::fromMSecsSinceEpoch(fields[1].toLongLong(&ok[1]));
    stamp.device = fields[2].toULongLong(&ok[2]);
    stamp.inode = fields[3].toULongLong(&ok[3]);
    if (!ok[0] || !ok[1] || !ok[2] || !ok[3] || stamp.size < 0)
        return {};
    stamp.exists = true;
    return stamp;
}

// A companion of a copy that korbana wrote itself: a plain file, never a link.
std::optional<QByteArray> readCompanion(const QString& path)
{
    if (QFileInfo(path).isSymLink())
        return std::nullopt;
    return readWholeFile(path);
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
    if (m_ownerLock && !QFileInfo::exists(copyPath())) {
        QFile::remove(ownerPath(kName));
        QFile::remove(ownerPath(kBase));
    }
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

bool RecoveryStore::makeFolder()
{
    // The copies hold the lists of every document: the folder is the owner's alone, also when it existed before,
    // and never one that a link leads to.
    return makeOwnerOnlyFolder(folder());
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
    if (QFileInfo(folder()).isSymLink())
        return copies;
    const QDir dir(folder());
    const auto found = dir.entryInfoList({ QStringLiteral("*.kbl") }, QDir::Files | QDir::NoSymLinks, QDir::Time);
    for (const QFileInfo& copy : found) {
        // Only copies that korbana wrote itself: a link at their place may lead anywhere.
        const QString owner = copy.completeBaseName();
        if (!isOwnerName(owner) || copy.isSymLink())
            continue;
        const std::optional<QByteArray> path = readCompanion(dir.filePath(owner + kName));
        if (!path || (documentPath && QString::fromUtf8(*path) != *documentPath))
            continue;
        // A window that still runs holds its lock; a gone one left it stale, or none at all.
        std::shared_ptr<QLockFile> lock = ownerLockAt(dir.filePath(owner + kLock));
        if (!lock)
            continue;
        const FileStamp base = decodeStamp(readCompanion(dir.filePath(owner + kBase)).value_or(QByteArray()));
        copies.push_back({ copy.filePath(), QString::fromUtf8(*path), copy.lastModified(), base, std::move(lock) });
    }
    return copies;
}

std::optional<QByteArray> RecoveryStore::read(const LeftCopy& copy)
{
    return readCompanion(copy.copyPath);
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
    // Its companions go with it, with the same ending.
    const QString owner = QFileInfo(copy.copyPath).path() + u'/' + QFileInfo(copy.copyPath).completeBaseName();
    for (const QString& companion : { kName, kBase })
        QFile::rename(owner + companion, owner + companion + aside.mid(copy.copyPath.size()));
    return aside;
}

void RecoveryStore::adopt(const std::vector<LeftCopy>& copies)
{
    if (copies.empty())
        return;
    std::lock_guard lock(m_mutex);
    const LeftCopy& own = copies.front();
    m_owner = QFileInfo(own.copyPath).completeBaseName();
    m_ownerLock = own.ownerLock;
    m_namedDocument = own.documentPath;
    m_namedBase = own.base;
    m_adopted.assign(copies.begin() + 1, copies.end());
}

bool RecoveryStore::holdOwnerLock()
{
    if (!m_ownerLock && makeFolder())
        m_ownerLock = ownerLockAt(ownerPath(kLock));
    return m_ownerLock != nullptr;
}

bool RecoveryStore::nameDocument(const QString& documentPath)
{
    if (!holdOwnerLock())
        return false;
    if (documentPath == m_namedDocument && !m_namedDocument.isNull())
        return true;
    // The document's path first: a copy is only ever found with it.
    SaveFile name(ownerPath(kName), SaveFile::Kind::Private);
    const bool named = saveWholeFile(name, documentPath.toUtf8()) == WriteResult::Ok;
    m_namedDocument = named ? (documentPath.isNull() ? QStringLiteral("") : documentPath) : QString();
    return named;
}

bool RecoveryStore::dropOtherBase(const FileStamp& base)
{
    if (m_namedBase && encodeStamp(*m_namedBase) == encodeStamp(base))
        return true;
    m_namedBase.reset();
    return QFile::remove(ownerPath(kBase)) || !QFileInfo(ownerPath(kBase)).exists();
}

void RecoveryStore::nameBase(const FileStamp& base)
{
    if (m_namedBase)
        return;
    SaveFile file(ownerPath(kBase), SaveFile::Kind::Private);
    if (saveWholeFile(file, encodeStamp(base)) == WriteResult::Ok)
        m_namedBase = base;
}

std::shared_ptr<RecoveryStream> RecoveryStore::begin(const QString& documentPath, const QByteArray& savedHash,
    const FileStamp& base, QObject* receiver, std::function<void(Outcome)> done)
{
    quint64 epoch = 0;
    {
        std::lock_guard lock(m_mutex);
        epoch = m_epoch;
    }
    auto stream = std::make_shared<RecoveryStream>();
    m_pool.start([this, stream, documentPath, savedHash, base, epoch, receiver, done = std::move(done)]() {
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
            // A copy beside the file that an earlier one went on from would claim the wrong start: that one goes
            // first, and the new one is named once the copy is in place. A copy without it is merged as one whose
            // start is not known, which loses nothing.
            if (nameDocument(documentPath) && dropOtherBase(base))
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
        if (outcome == Outcome::Written)
            nameBase(base);
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
    for (const LeftCopy& copy : m_adopted) {
        const QString owner = QFileInfo(copy.copyPath).path() + u'/' + QFileInfo(copy.copyPath).completeBaseName();
        QFile::remove(copy.copyPath);
        QFile::remove(owner + kName);
        QFile::remove(owner + kBase);
        // Its lock goes last, with the last reference to it.
    }
    m_adopted.clear();
}

void RecoveryStore::waitForWrites()
{
    m_pool.waitForDone();
}

} // namespace korbana
