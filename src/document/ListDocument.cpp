#include "ListDocument.h"

#include "ConflictCopies.h"
#include "Csv.h"
#include "DocumentFileState.h"
#include "DurableFile.h"
#include "LeftLists.h"
#include "ListCommands.h"
#include "QuickAdd.h"
#include "RecoveryStore.h"
#include "ShoppingTicks.h"
#include "Staples.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLockFile>
#include <QScopedValueRollback>
#include <QSet>
#include <QStandardPaths>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>
#include <functional>
#include <new>
#include <utility>

namespace korbana {

// The document's file as a merge or a reload saw it; the step swaps it in and out.
struct FileSeen
{
    DocumentFileState state;
    SectionPrints base;
    FileStamp announced;
};

namespace {

// A change reaches the recovery copy this soon; further changes in between go with it.
constexpr int kRecoveryDelayMs = 2000;
// Programs write a file in several steps; look at it once they are done.
constexpr int kFileCheckDelayMs = 300;
// How long the recovery copy waits when its writer has not caught up with the bytes handed to it.
constexpr int kWriterBehindPauseMs = 5;

// A step that only swaps a piece of the document's state with the one it holds, both ways alike.
class SwapStep final : public QUndoCommand
{
public:
    SwapStep(std::function<void()> swap, QUndoCommand* parent)
        : QUndoCommand(parent)
        , m_swap(std::move(swap))
    {
    }
    void redo() override { m_swap(); }
    void undo() override { m_swap(); }

private:
    std::function<void()> m_swap;
};

QTimer* singleShotTimer(int interval, QObject* parent)
{
    auto* timer = new QTimer(parent);
    timer->setSingleShot(true);
    timer->setInterval(interval);
    return timer;
}

// Where the locks that say windows have the list at path open begin, one lock for each window: the folder and the
// start of their names.
std::pair<QString, QString> openLockStem(const QString& path)
{
    const QFileInfo file(path);
    const QString key = file.exists() ? file.canonicalFilePath() : file.absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(20);
    return { QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation),
        QStringLiteral("korbana-") + QString::fromLatin1(hash) };
}

std::unique_ptr<QLockFile> lockAt(const QString& path)
{
    auto lock = std::make_unique<QLockFile>(path);
    // Stale only when its window is gone, never by age.
    lock->setStaleLockTime(0);
    return lock;
}

// This window's lock on the list at path: every window that has it open holds one of its own, also one opened
// beside another, so that the list counts as open while any of them runs. Null for no path.
std::unique_ptr<QLockFile> takeOpenLock(const QString& path)
{
    if (path.isEmpty())
        return nullptr;
    const auto [folder, stem] = openLockStem(path);
    for (int slot = 1; slot <= 64; ++slot) {
        const QString name = stem + (slot > 1 ? u'-' + QString::number(slot) : QString()) + QStringLiteral(".lock");
        std::unique_ptr<QLockFile> lock = lockAt(folder + u'/' + name);
        if (lock->tryLock(0))
            return lock;
        if (lock->error() != QLockFile::LockFailedError)
            return nullptr;
    }
    return nullptr;
}

// What a record is about: two records about the same thing cannot both stand (a shop has one walk, a product one
// usual quantity); records of kinds not known here are each about themselves.
QStringList recordSubject(const ListExtras::Record& record)
{
    if (record.kind == u"walk" || record.kind == u"bought")
        return { record.kind, record.fields.value(0) };
    if (record.kind == u"staple")
        return { record.kind, record.fields.value(1), record.fields.value(2) };
    return QStringList { record.kind } + record.fields;
}

// The extras of two versions of the lists together: everything either holds, and where both say something about
// the same thing, this side's word. A tick made on either side stays.
ListExtras mergedExtras(const ListExtras& ours, const ListExtras& theirs)
{
    ListExtras merged = ours;
    QSet<QStringList> subjects;
    for (const ListExtras::Record& record : ours.allRecords())
        subjects.insert(recordSubject(record));
    QStringList kinds;
    for (const ListExtras::Record& record : theirs.allRecords()) {
        if (!kinds.contains(record.kind))
            kinds.append(record.kind);
    }
    for (const QString& kind : std::as_const(kinds)) {
        QList<ListExtras::Record> records = merged.records(kind);
        for (const ListExtras::Record& record : theirs.records(kind)) {
            if (!subjects.contains(recordSubject(record))) {
                subjects.insert(recordSubject(record));
                records.append(record);
            }
        }
        merged.setRecords(kind, records);
    }
    return merged;
}

} // namespace

// Changes the extras as a step of the history; the document marks itself changed and tells the views.
class ExtrasCommand final : public QUndoCommand
{
public:
    ExtrasCommand(ListDocument* document, ListExtras&& after, const QString& text, QUndoCommand* parent)
        : QUndoCommand(text, parent)
        , m_document(document)
        , m_extras(std::move(after))
    {
    }

    void redo() override { m_document->swapExtras(m_extras); }
    void undo() override { m_document->swapExtras(m_extras); }

private:
    ListDocument* m_document;
    ListExtras m_extras; // the extras the step does not show
};

ListDocument::ListDocument(QObject* parent)
    : QObject(parent)
    , m_extras(std::make_unique<ListExtras>())
    , m_fileState(std::make_unique<DocumentFileState>())
    , m_recovery(std::make_unique<RecoveryStore>())
    , m_recoveryCopier(std::make_unique<RecoveryCopier>())
{
    m_stores = new ListModel({ QStringLiteral("Name") }, this);
    m_products = new ListModel({ QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") }, this);
    m_shopping = new ListModel(
        { QStringLiteral("Menge"), QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") }, this);

    m_history = new QUndoStack(this);
    connect(m_history, &QUndoStack::cleanChanged, this, [this](bool clean) { Q_EMIT modifiedChanged(!clean); });

    m_fileWatcher = new QFileSystemWatcher(this);
    m_fileCheckTimer = singleShotTimer(kFileCheckDelayMs, this);
    connect(m_fileCheckTimer, &QTimer::timeout, this, &ListDocument::checkFile);
    const auto fileTouched = [this] { m_fileCheckTimer->start(); };
    connect(m_fileWatcher, &QFileSystemWatcher::fileChanged, this, fileTouched);
    // A replace by rename drops the file's watch; its folder tells when the new file arrives.
    connect(m_fileWatcher, &QFileSystemWatcher::directoryChanged, this, fileTouched);

    m_recoveryTimer = singleShotTimer(kRecoveryDelayMs, this);
    connect(m_recoveryTimer, &QTimer::timeout, this, &ListDocument::writeRecoveryCopy);
    m_copyTimer = new QTimer(this);
    m_copyTimer->setInterval(0);
    connect(m_copyTimer, &QTimer::timeout, this, &ListDocument::copyRecoverySlice);

    for (ListModel* list : { m_stores, m_products, m_shopping }) {
        connect(list, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                // A tick drawn anew is no change of the rows: the step that changed it says so itself.
                if (changesTexts(roles))
                    listsChanged();
            });
        connect(list, &QAbstractItemModel::rowsInserted, this, &ListDocument::listsChanged);
        connect(list, &QAbstractItemModel::rowsRemoved, this, &ListDocument::listsChanged);
        connect(list, &QAbstractItemModel::rowsMoved, this, &ListDocument::listsChanged);
        connect(list, &QAbstractItemModel::modelReset, this, &ListDocument::listsChanged);
        connect(list, &QAbstractItemModel::layoutChanged, this, &ListDocument::listsChanged);
    }
    setUpRoutine();
}

ListDocument::~ListDocument()
{
    stopRecoveryCopy();
    m_recovery->waitForWrites();
    // The lists go with this object; nothing of theirs may call back into it meanwhile.
    for (const ListModel* list : { m_stores, m_products, m_shopping })
        disconnect(list, nullptr, this, nullptr);
    // Nor may a view ask them for ticks or staples, which go before the lists.
    m_shopping->setTickBoxes({}, {});
    m_products->setCellHints(-1, {});
}

ListModel* ListDocument::list(ListKind kind) const
{
    switch (kind) {
    case ListKind::Stores:
        return m_stores;
    case ListKind::Products:
        return m_products;
    case ListKind::Shopping:
        break;
    }
    return m_shopping;
}

bool ListDocument::isModified() const
{
    return !m_history->isClean();
}

void ListDocument::collectEdits()
{
    if (m_collectingEdits)
        return;
    const QScopedValueRollback collecting(m_collectingEdits, true);
    Q_EMIT editsWanted();
}

void ListDocument::push(QUndoCommand* step)
{
    const QScopedValueRollback stepping(m_stepping, true);
    // Only the entry just added is named into its step.
    if (step->id() != kEntryTextCommand)
        m_naming.reset();
    m_history->push(step);
}

void ListDocument::undo()
{
    // A caption still open is a step of its own, and it is the one undone.
    collectEdits();
    m_naming.reset();
    const QScopedValueRollback stepping(m_stepping, true);
    m_history->undo();
    if (m_history->isClean())
        discardRecoveryCopy();
}

void ListDocument::redo()
{
    collectEdits();
    m_naming.reset();
    const QScopedValueRollback stepping(m_stepping, true);
    m_history->redo();
    if (m_history->isClean())
        discardRecoveryCopy();
}

int ListDocument::addEntry(ListKind kind, Entry&& entry, const QString& stepName)
{
    auto* step = new AddEntryCommand(list(kind), std::move(entry), stepName);
    push(step);
    // The user types over the default at once; that naming belongs to this step.
    m_naming = std::make_pair(kind, step->row());
    return m_naming->second;
}

int ListDocument::addStore()
{
    collectEdits();
    return addEntry(ListKind::Stores, m_stores->makeEntry(QStringLiteral("Laden")), StepNames::addStore());
}

int ListDocument::addProduct(int storeRow, const QString& price)
{
    // A shop name still being typed is the one the user sees, so it is the one to copy.
    collectEdits();
    return addEntry(ListKind::Products,
        m_products->makeEntry(QStringLiteral("Produkt"), { m_stores->caption(storeRow), price }),
        StepNames::addProduct());
}

int ListDocument::addToShoppingList(int productRow)
{
    collectEdits();
    const Entry& source = m_products->entryAt(productRow);
    return addEntry(ListKind::Shopping,
        m_shopping->makeEntry(QStringLiteral("1"), { source.caption, source.subItems[0], source.subItems[1] }),
        StepNames::addShoppingEntry());
}

void ListDocument::renameEntry(ListKind kind, int row, const QString& caption)
{
    // The text typed is this very change: no other edit box is open meanwhile.
    ListModel* model = list(kind);
    // A caption confirmed as it was changes nothing, and is no step to undo.
    if (row < 0 || row >= model->count() || ListModel::storable(caption) == model->caption(row))
        return;
    const bool namesNewEntry = m_naming == std::make_pair(kind, row);
    push(new RenameEntryCommand(model, row, caption, namesNewEntry));
}

void ListDocument::endNaming()
{
    m_naming.reset();
}

void ListDocument::removeEntry(ListKind kind, int row)
{
    collectEdits();
    if (row >= 0 && row < list(kind)->count())
        push(new RemoveEntryCommand(list(kind), row));
}

void ListDocument::clearList(ListKind kind)
{
    collectEdits();
    push(clearListCommand(list(kind)));
}

void ListDocument::editProduct(int row, const QString& caption, const QString& price)
{
    collectEdits();
    if (row >= 0 && row < m_products->count())
        push(new EditProductCommand(m_products, row, caption, price));
}

void ListDocument::sortByColumn(ListKind kind, int column)
{
    // A caption still being typed sorts as what the user sees.
    collectEdits();
    push(sortByColumnCommand(kind, list(kind), column));
}

void ListDocument::moveToShops(std::deque<ShopMove>&& moves)
{
    collectEdits();
    push(moveToShopsCommand(m_shopping, *m_products, std::move(moves)));
}

bool ListDocument::importEntries(CsvContent&& content)
{
    collectEdits();
    // The three lists' additions are one step.
    auto step = std::make_unique<QUndoCommand>(StepNames::importCsv());
    const std::pair<ListModel*, std::vector<Entry>*> parts[]
        = { { m_stores, &content.stores }, { m_products, &content.products }, { m_shopping, &content.shopping } };
    for (const auto& [model, rows] : parts)
        if (!rows->empty())
            new AppendRowsCommand(model, std::move(*rows), {}, step.get());
    if (step->childCount() == 0)
        return false;
    push(step.release());
    return true;
}

void ListDocument::changeExtraRecords(
    const QString& kind, const QList<ListExtras::Record>& records, const QString& text)
{
    ListExtras after = *m_extras;
    after.setRecords(kind, records);
    if (after == *m_extras)
        return;
    push(new ExtrasCommand(this, std::move(after), text, nullptr));
}

QUndoCommand* ListDocument::extrasStep(ListExtras after, QUndoCommand* parent)
{
    return new ExtrasCommand(this, std::move(after), parent ? parent->text() : QString(), parent);
}

void ListDocument::setExtraRecordsQuietly(const QString& kind, const QList<ListExtras::Record>& records)
{
    m_extras->setRecords(kind, records);
}

void ListDocument::swapExtras(ListExtras& extras)
{
    std::swap(*m_extras, extras);
    listsChanged();
    Q_EMIT extrasChanged();
}

void ListDocument::listsChanged()
{
    // Changed beside the history (a file read): its steps no longer fit the lists, and no undo leads back to the
    // state last saved.
    if (!m_stepping) {
        m_naming.reset();
        if (m_history->count() > 0)
            m_history->clear();
        m_history->resetClean();
    }
    ++m_changeGeneration;
    if (!m_recoveryTimer->isActive())
        m_recoveryTimer->start();
    if (m_shopping->count() != m_shoppingCount) {
        m_shoppingCount = m_shopping->count();
        Q_EMIT shoppingCountChanged(m_shoppingCount);
    }
}

void ListDocument::markUnmodified()
{
    m_naming.reset();
    m_history->clear();
    // An empty history is left as it is by clear(), also when no step led back to the file.
    m_history->setClean();
}

void ListDocument::setFileName(const QString& path)
{
    if (path != m_fileName || !m_openLock) {
        m_openLock.reset();
        m_openLock = takeOpenLock(path);
    }
    m_fileName = path;
    Q_EMIT fileNameChanged(path);
}

void ListDocument::readAhead(const QString& path)
{
    m_readAheadPath = path;
    m_readAhead = std::async(std::launch::async, readListContent, path);
}

void ListDocument::finishReadingAhead()
{
    if (m_readAhead.valid())
        m_readAhead.wait();
}

ReadResult ListDocument::open(const QString& path, bool nameEvenIfUnreadable)
{
    const ReadResult result = readFile(path);
    if (result != ReadResult::CannotOpen || nameEvenIfUnreadable)
        setFileName(path);
    return result;
}

ReadResult ListDocument::reload()
{
    // A name still being typed is closed first, as a save does; the file's lists replace it.
    collectEdits();
    const QString path = m_fileState->path();
    ListContent content;
    try {
        content = readListContent(path);
    } catch (const std::bad_alloc&) {
        content.result = ReadResult::BadFormat;
    }
    // Read apart first: a file that does not read completely leaves the lists as they were, and the file's former
    // state stays, so that a save still asks before it overwrites the change made elsewhere.
    if (content.result != ReadResult::Ok)
        return content.result;
    // A file cut short is most likely still being written by a sync program: its full form comes later.
    if (!content.facts.linesEnded)
        return ReadResult::BadFormat;
    // One step of the history, so that "Rückgängig" brings back the lists as they were; the file as seen now
    // travels in it, so that once undone the next save asks before it overwrites the file's new content.
    const ReadFacts facts = content.facts;
    auto seen = std::make_shared<FileSeen>();
    seen->state = *m_fileState;
    seen->state.loaded(path, facts.stamp, facts.contentHash, facts.complete);
    seen->base = printsOf(content.sections);
    ListExtras extras = std::move(content.extras);
    auto* step = replaceListsCommand(lists(), std::move(content), QStringLiteral("Neu laden"));
    if (extras != *m_extras)
        extrasStep(std::move(extras), step);
    seenInStep(seen, step);
    push(step);
    // The lists hold what the file holds: nothing is unsaved.
    m_history->setClean();
    discardRecoveryCopy();
    watchFile();
    if (m_fileState->changedElsewhere())
        m_fileCheckTimer->start();
    Q_EMIT extrasRead(facts.extras);
    return ReadResult::Ok;
}

ReadResult ListDocument::readFile(const QString& path)
{
    ReadResult result = ReadResult::CannotOpen;
    ReadFacts facts;
    try {
        if (m_readAhead.valid() && path == m_readAheadPath) {
            ListContent content = m_readAhead.get();
            facts = content.facts;
            result = applyListContent(std::move(content), lists());
        } else {
            result = readListFile(path, lists(), &facts);
        }
    } catch (const std::bad_alloc&) {
        // A file too large for this machine's memory: start from empty lists rather than end the program.
        m_stores->clear();
        m_products->clear();
        m_shopping->clear();
        m_extras->clear();
        facts = { FileStamp::of(path), ContentHash::ofFile(path), false };
        result = ReadResult::BadFormat;
    }
    if (result != ReadResult::CannotOpen)
        fileRead(path, facts);
    return result;
}

void ListDocument::fileRead(const QString& path, const ReadFacts& facts)
{
    if (path != m_fileState->path()) {
        m_reportedCopies.clear();
        m_mergedCopies.clear();
    }
    Q_EMIT extrasChanged();
    // Filling the lists marked them changed: they hold what the file holds.
    m_fileState->loaded(path, facts.stamp, facts.contentHash, facts.complete);
    m_base = prints();
    m_announcedChange = {};
    markUnmodified();
    stopRecoveryCopy();
    watchFile();
    // The file may have changed between the read and the watch (a read ahead at start runs long before).
    if (m_fileState->changedElsewhere())
        m_fileCheckTimer->start();
    Q_EMIT extrasRead(facts.extras);
}

void ListDocument::clear()
{
    setFileName(QString());
    m_stores->clear();
    m_products->clear();
    m_shopping->clear();
    m_extras->clear();
    Q_EMIT extrasChanged();
    Q_EMIT extrasRead(ListExtras::State::Absent);
    m_fileState->forget();
    m_base = {};
    m_reportedCopies.clear();
    m_mergedCopies.clear();
    markUnmodified();
    stopRecoveryCopy();
    watchFile();
}

void ListDocument::startNamed(const QString& path)
{
    clear();
    // No file yet: the first save writes it without asking for a name or about changes made elsewhere.
    m_fileState->written(path, {});
    watchFile();
    setFileName(path);
}

bool ListDocument::isOpenElsewhere(const QString& path) const
{
    if (path.isEmpty() || (path == m_fileName && m_openLock))
        return false;
    const auto [folder, stem] = openLockStem(path);
    const QStringList names = QDir(folder).entryList({ stem + QStringLiteral("*.lock") }, QDir::Files);
    return std::any_of(names.begin(), names.end(), [folder = folder](const QString& name) {
        const std::unique_ptr<QLockFile> lock = lockAt(folder + u'/' + name);
        return !lock->tryLock(0) && lock->error() == QLockFile::LockFailedError;
    });
}

bool ListDocument::isChangedOnDisk(const QString& path) const
{
    return path == m_fileState->path() && m_fileState->changedElsewhere();
}

bool ListDocument::needsBackup(const QString& path) const
{
    return m_fileState->needsBackup(path);
}

std::optional<QString> ListDocument::keepBackup() const
{
    return m_fileState->keepBackup();
}

WriteResult ListDocument::save(const QString& path)
{
    // A name still being typed in a list is saved as the user sees it.
    collectEdits();
    // Recovered lists replace what the file holds: the file's own version is kept first.
    if (path == m_recoveredOver && QFileInfo(path).isFile() && !m_fileState->keepBackup())
        return WriteResult::CannotCreate;
    QByteArray contentHash;
    const WriteResult result = writeListFile(path, lists(), &contentHash);
    if (result != WriteResult::Ok)
        return result;
    m_recoveredOver.clear();
    // What was kept for the former file (Save as) and for this one is safe on disk now.
    m_recovery->remove();
    stopRecoveryCopy();
    m_fileState->written(path, contentHash);
    m_base = prints();
    m_announcedChange = {};
    m_history->setClean();
    watchFile();
    setFileName(path);
    keepMergedCopies();
    return result;
}

QString ListDocument::recoveryCopyPath() const
{
    return m_recovery->copyPath();
}

int ListDocument::applyLeftList(const LeftList& list)
{
    m_recovery->adopt(list.copies);
    const QString path = m_fileName;
    const bool fileRead = m_fileState->path() == path && !path.isEmpty();
    if (!fileRead) {
        // The file itself could not be read: the next save goes to it without asking.
        m_fileState->forget();
        m_fileState->written(path, {});
        m_base = {};
    }
    std::vector<RecoveredCopy> copies;
    ListExtras extras;
    for (const LeftCopy& copy : list.copies) {
        std::optional<QByteArray> bytes = RecoveryStore::read(copy);
        if (!bytes)
            continue;
        const bool fromFile = fileRead && copy.base.exists && copy.base.sameMetadata(m_fileState->stamp());
        ListContent content = parseListContent(*bytes);
        extras = copies.empty() ? std::move(content.extras) : mergedExtras(extras, content.extras);
        copies.push_back({ std::move(content.sections), fromFile });
    }
    MergeResult merged = mergeRecoveredCopies(m_base, entries(), copies);
    replaceLists(std::move(merged.sections), std::move(extras), StepNames::applyRecovery());
    // Also undone, the lists stay modified: the recovered lists wait only in the history then, and closing the
    // window must still ask rather than let them go.
    m_history->resetClean();
    m_recoveredOver = path;
    return merged.totalConflicts();
}

void ListDocument::discardRecoveryCopy()
{
    stopRecoveryCopy();
    m_recovery->remove();
}

void ListDocument::writeRecoveryCopy()
{
    if (!isModified())
        return;
    m_copyGeneration = m_changeGeneration;
    const QByteArray savedHash = m_fileState->path() == m_fileName ? m_fileState->contentHash() : QByteArray();
    const quint64 generation = m_copyGeneration;
    const FileStamp base = m_fileState->path() == m_fileName ? m_fileState->stamp() : FileStamp();
    m_recoveryCopier->start(lists(),
        m_recovery->begin(m_fileName, savedHash, base, this, [this, generation](RecoveryStore::Outcome outcome) {
            // Back to what the file holds, and no change since: nothing is unsaved.
            if (outcome == RecoveryStore::Outcome::Unchanged && generation == m_changeGeneration)
                m_history->setClean();
            const bool failing = outcome == RecoveryStore::Outcome::Failed;
            if (failing != m_recoveryFailing) {
                m_recoveryFailing = failing;
                Q_EMIT recoveryFailingChanged(failing);
            }
        }));
    m_copyTimer->start();
}

void ListDocument::copyRecoverySlice()
{
    // Changed meanwhile: the change has started the recovery timer again, which begins a fresh copy.
    if (m_copyGeneration != m_changeGeneration) {
        stopRecoveryCopy();
        m_recoveryTimer->start();
        return;
    }
    if (m_recoveryCopier->copy(RecoveryCopier::kRowsPerTurn)) {
        m_copyTimer->stop();
        return;
    }
    // While the disk catches up, the window does not spin.
    m_copyTimer->setInterval(m_recoveryCopier->isWriterBehind() ? kWriterBehindPauseMs : 0);
}

void ListDocument::stopRecoveryCopy()
{
    m_recoveryTimer->stop();
    m_copyTimer->stop();
    m_recoveryCopier->cancel();
}

void ListDocument::waitForRecoveryCopy()
{
    while (m_recoveryCopier->isActive())
        copyRecoverySlice();
    m_recovery->waitForWrites();
}

void ListDocument::watchFile()
{
    const QStringList watched = m_fileWatcher->files() + m_fileWatcher->directories();
    if (!watched.isEmpty())
        m_fileWatcher->removePaths(watched);
    const QString path = m_fileState->path();
    if (path.isEmpty())
        return;
    m_fileWatcher->addPath(QFileInfo(path).absolutePath());
    if (QFileInfo::exists(path))
        m_fileWatcher->addPath(path);
}

void ListDocument::checkFile()
{
    const QString path = m_fileState->path();
    if (path.isEmpty() || path != m_fileName)
        return;
    watchFile();
    if (m_fileState->changedElsewhere()) {
        if (!isModified()) {
            Q_EMIT changedOnDisk();
        } else {
            // Sync programs touch the folder many times for one change: it is told once.
            const FileStamp now = FileStamp::of(path);
            if (!now.sameMetadata(m_announcedChange)) {
                m_announcedChange = now;
                Q_EMIT changedOnDiskWhileModified();
            }
        }
    }
    lookForConflictCopies();
}

SectionPrints ListDocument::prints() const
{
    return { printsOf(*m_stores), printsOf(*m_products), printsOf(*m_shopping) };
}

ListSections ListDocument::entries() const
{
    ListSections sections;
    const ListModel* models[] = { m_stores, m_products, m_shopping };
    for (size_t i = 0; i < sections.size(); ++i) {
        sections[i].reserve(static_cast<size_t>(models[i]->count()));
        for (int row = 0; row < models[i]->count(); ++row)
            sections[i].push_back(models[i]->entryAt(row));
    }
    return sections;
}

void ListDocument::replaceLists(ListSections&& sections, const QString& text)
{
    ListContent content;
    content.sections = std::move(sections);
    push(replaceListsCommand(lists(), std::move(content), text));
}

void ListDocument::replaceLists(ListSections&& sections, ListExtras&& extras, const QString& text)
{
    ListContent content;
    content.sections = std::move(sections);
    QUndoCommand* step = replaceListsCommand(lists(), std::move(content), text);
    if (extras != *m_extras)
        extrasStep(std::move(extras), step);
    push(step);
}

void ListDocument::seenInStep(const std::shared_ptr<FileSeen>& seen, QUndoCommand* step)
{
    new SwapStep(
        [this, seen] {
            std::swap(*m_fileState, seen->state);
            std::swap(m_base, seen->base);
            std::swap(m_announcedChange, seen->announced);
        },
        step);
}

std::optional<int> ListDocument::mergeFile(const QString& path)
{
    // A name still being typed takes part as the user sees it.
    collectEdits();
    ListContent theirs = readListContent(path);
    // Entries missing from a damaged file would count as removed there.
    if (theirs.result != ReadResult::Ok || !theirs.facts.isWholeVersion())
        return std::nullopt;
    // A conflict copy does not come from what this window last read or wrote: both went apart from an earlier
    // version, which is not known. Only what both hold counts as that start, so that an entry either has alone is
    // kept, never taken for removed.
    const bool ownFile = path == m_fileState->path();
    SectionPrints copyBase;
    if (!ownFile)
        copyBase = commonEntries(m_base, theirs.sections);
    MergeResult merged = mergeLists(ownFile ? m_base : copyBase, entries(), theirs.sections);
    m_lastConflicts = std::move(merged.conflictLists);
    const QString text = QStringLiteral("Zusammenführen");
    ListContent content;
    content.sections = std::move(merged.sections);
    auto* step = replaceListsCommand(lists(), std::move(content), text);
    if (ownFile) {
        // The file as seen now is part of the step: undone, the lists again hold a change the file does not know,
        // and the next save asks before it overwrites the file.
        auto seen = std::make_shared<FileSeen>();
        seen->state = *m_fileState;
        seen->state.loaded(path, theirs.facts.stamp, theirs.facts.contentHash, true);
        seen->base = printsOf(theirs.sections);
        seenInStep(seen, step);
        QMetaObject::invokeMethod(this, &ListDocument::lookForConflictCopies, Qt::QueuedConnection);
    } else if (isConflictCopyName(QFileInfo(m_fileName).fileName(), QFileInfo(path).fileName())
        && !m_mergedCopies.contains(path)) {
        // A conflict copy beside the list moves away once merged and saved; a kept version stays where it is.
        m_mergedCopies.append(path);
    }
    ListExtras extras = mergedExtras(*m_extras, theirs.extras);
    if (extras != *m_extras)
        extrasStep(std::move(extras), step);
    push(step);
    // Also when the result equals the file, and after an undo: the recovery copy stays until the merged lists are
    // saved, and no step leads back to what the file holds now.
    m_history->resetClean();
    return merged.totalConflicts();
}

void ListDocument::lookForConflictCopies()
{
    if (m_fileName.isEmpty())
        return;
    // Offered once the list itself is settled: a sync engine replaces it in two steps, and a change not yet taken
    // in would be merged later from a base that leaves out what the copy was merged from. The next look at the
    // folder, the reload or the merge offers them.
    if (!QFileInfo::exists(m_fileName) || (m_fileState->path() == m_fileName && m_fileState->changedElsewhere()))
        return;
    QStringList found;
    for (const QString& copy : findConflictCopies(m_fileName)) {
        if (!m_reportedCopies.contains(copy))
            found.append(copy);
    }
    if (found.isEmpty())
        return;
    m_reportedCopies += found;
    Q_EMIT conflictCopiesFound(found);
}

QString ListDocument::conflictCopyFolder()
{
    // Beside the recovery copies: private to the user, like the lists they hold.
    return RecoveryStore::folder() + QStringLiteral("/conflict-copies");
}

void ListDocument::keepMergedCopies()
{
    if (m_mergedCopies.isEmpty())
        return;
    const QString folder = conflictCopyFolder();
    // Inside the recovery folder, which stays private and is never reached through a link.
    if (!RecoveryStore::makeFolder()) {
        m_mergedCopies.clear();
        return;
    }
    makeOwnerOnlyFolder(folder);
    int kept = 0;
    for (const QString& copy : std::as_const(m_mergedCopies)) {
        const QFileInfo info(copy);
        QString target = folder + u'/' + info.fileName();
        for (int number = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++number)
            target = folder + u'/' + info.completeBaseName() + u'-' + QString::number(number) + u'.' + info.suffix();
        // A copy that cannot be moved stays where it was; it is not offered again in this session.
        if (QFile::rename(copy, target)) {
            limitReadersTo(target, m_fileName);
            ++kept;
        }
    }
    m_mergedCopies.clear();
    if (kept > 0)
        Q_EMIT conflictCopiesKept(folder, kept);
}

} // namespace korbana
