#pragma once

#include "ListFile.h"
#include "ListMerge.h"
#include "lists/ListSort.h"
#include "lists/PriceComparison.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <future>
#include <memory>
#include <optional>

class QFileSystemWatcher;
class QLockFile;
class QUndoCommand;
class QUndoStack;
class QTimer;

namespace korbana {

struct CsvContent;
class DocumentFileState;
class ProductNames;
class ShoppingTicks;
class Staples;
struct FileSeen;
struct LeftList;
class RecoveryStore;
class RecoveryCopier;

// Whether a change of these roles of a list's cells changes its texts (a tick drawn anew does not).
bool changesTexts(const QList<int>& roles);

// The document: the three lists, the file they were read from or written to, whether they have changed since,
// the watch on that file and the recovery copy of unsaved lists. It asks nothing: it reports by results and
// signals, and the window asks the user.
class ListDocument final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListDocument)

public:
    explicit ListDocument(QObject* parent = nullptr);
    // Waits for a recovery copy still being written.
    ~ListDocument() override;

    ListModel* stores() const { return m_stores; }
    ListModel* products() const { return m_products; }
    ListModel* shopping() const { return m_shopping; }
    ListSet lists() const { return { m_stores, m_products, m_shopping, m_extras.get() }; }
    ListModel* list(ListKind kind) const;

    // What the file keeps beside the three lists (ListExtras): records by kind, read and written with the lists.
    const ListExtras& extras() const { return *m_extras; }
    // Replaces the records of one kind as one step of the history, named text.
    void changeExtraRecords(const QString& kind, const QList<ListExtras::Record>& records, const QString& text);
    // A step that puts after in place of the extras, as a child of parent (which the caller pushes), so that a
    // command can change rows and records in one step.
    QUndoCommand* extrasStep(ListExtras after, QUndoCommand* parent);
    // Replaces the records of one kind outside the history and without marking the lists modified: for what a
    // save itself writes (the version it makes), not for a change of the user's.
    void setExtraRecordsQuietly(const QString& kind, const QList<ListExtras::Record>& records);

    // Every change to the lists is a step of this history, made by the document; it starts empty with each file
    // read and with New. Undo and redo take the last step back and forth. Back at the state last read or saved,
    // the document is unmodified again and its recovery copy goes, as after a save.
    QUndoStack* history() const { return m_history; }
    void undo();
    void redo();

    // The changes a user makes, each one step of the history. Each but the rename first emits editsWanted(), so
    // that a text still being typed is its own step before it.
    // Adds a shop "Laden" at the end; its row. The naming typed right after it belongs to the same step.
    int addStore();
    // Adds a product "Produkt" of the shop at storeRow with the price text; its row, named as addStore().
    int addProduct(int storeRow, const QString& price);
    // Puts the catalogue's product at productRow on the Shopping list with quantity 1; its row, named as
    // addStore().
    int addToShoppingList(int productRow);
    // A caption confirmed in a list's edit box: no step when it is the one shown.
    void renameEntry(ListKind kind, int row, const QString& caption);
    // The edit box opened by an add is closed: a later rename of that entry is a step of its own.
    void endNaming();
    void removeEntry(ListKind kind, int row);
    void clearList(ListKind kind);
    // A product's caption and price as the product dialog gives them.
    void editProduct(int row, const QString& caption, const QString& price);
    // A click on a column's header: the same column as last time turns the order round.
    void sortByColumn(ListKind kind, int column);
    // Moves Shopping list entries to the shops of catalogue rows (each its cheapest); its quantity stays.
    void moveToShops(std::deque<ShopMove>&& moves);
    // Appends a CSV file's entries to the three lists; false, and no step, when it holds none.
    bool importEntries(CsvContent&& content);
    // Emits editsWanted(): the lists are about to be read whole (a print, an export, a copy).
    void collectEdits();

    // Full path of the list file last opened or saved, empty for a document without a file.
    QString fileName() const { return m_fileName; }
    // Whether the lists have been changed since the file was last read or written: the history is away from the
    // step at which they were, or no step leads back there (recovered or merged lists).
    bool isModified() const;

    // Starts reading path on a worker thread; the next open of path takes what it read.
    void readAhead(const QString& path);
    // Waits until the file read ahead is in memory.
    void finishReadingAhead();
    // Reads path into the lists. The document takes path as its name when the file could be opened, and with
    // nameEvenIfUnreadable also when not (its recovery copy follows). Ends unmodified unless it cannot open.
    ReadResult open(const QString& path, bool nameEvenIfUnreadable = false);
    // Reads the document's file again, as one step of the history that leaves the lists unmodified. When it does
    // not read completely, or its last line has no end, the lists stay as they were.
    ReadResult reload();
    // New: empty lists without a file.
    void clear();
    // New under a name: empty lists for a file that does not exist yet.
    void startNamed(const QString& path);

    // Ticking off in the shop (RoutineCommands.cpp). The phone page uses these too: rows are the Shopping list's
    // rows as they stand now, and ticksChanged() tells of every change of a tick (a step, its undo or redo, a file
    // read) and of every change of the Shopping list, after which a row may hold another entry.
    bool isTicked(int shoppingRow) const;
    int tickedCount() const;
    // Ticks or unticks the row as one step of the history; nothing when it already is so or there is no such row.
    void setTicked(int shoppingRow, bool ticked);
    // "Erledigte entfernen": every ticked entry leaves the Shopping list in one step; how many did.
    int removeTicked();

    // The walk through each shop. walkOrder() gives the Shopping list's rows in the order of the walk (shops in the
    // order of the Store list, then each shop's walk, products without a place last) without changing the list;
    // it changes with extrasChanged() and with every change of the lists.
    std::vector<int> walkOrder() const;
    // "Nach Laufweg ordnen": the Shopping list in that order, as one step; false when it already is.
    bool orderShoppingByWalk();
    // Moves the product one place earlier (step -1) or later (step 1) in its shop's walk, and its row past the
    // product it trades places with, as one step; false when it cannot move that way.
    bool moveInWalk(int productRow, int step);

    // Staples: products bought every week with their usual quantity (empty: no staple).
    QString stapleQuantity(int productRow) const;
    // Marks the product as a staple with that usual quantity, or no longer (empty), as one step.
    void setStaple(int productRow, const QString& quantity);
    // "Stammartikel eintragen": every staple that the Shopping list does not hold yet, with its usual quantity and
    // the product's shop and price, in one step; how many.
    int addStaples();

    // Quick add ("Schnell eintragen"): a line such as "2 milch". The catalogue's names that begin like its name,
    // ignoring case and umlaut spelling, at most limit of them.
    QStringList quickAddSuggestions(const QString& line, int limit) const;
    enum class QuickAddResult {
        Added, // the product is on the Shopping list, with the shop last bought at, else its cheapest
        AddedNewProduct, // the name was new: it went into the catalogue under shopForNew, then onto the list
        NeedsShop, // the name is new and no shop was given: nothing changed
        Nothing, // no name
    };
    // Puts the line's product on the Shopping list with its quantity (1 if none) as one step; a name that the
    // catalogue does not hold goes into it first, under shopForNew at priceForNew, in the same step.
    QuickAddResult quickAdd(const QString& line, const QString& shopForNew, const QString& priceForNew);

    // Whether another window on this machine has the list at path open.
    bool isOpenElsewhere(const QString& path) const;

    // Whether a save to path would overwrite a change made to the document's file elsewhere.
    bool isChangedOnDisk(const QString& path) const;
    // Whether a save to path must first keep the file's original bytes (it did not load completely).
    bool needsBackup(const QString& path) const;
    // Copies the document's file beside itself; the copy's path, or nullopt when it could not be made.
    std::optional<QString> keepBackup() const;
    // Writes the lists to path; on success path is the document's name and it is unmodified.
    WriteResult save(const QString& path);

    // Where this document keeps its unsaved lists.
    QString recoveryCopyPath() const;
    // Merges the copies that windows which are gone left of one list into the lists as read from the document's
    // present name, as one step of the history; they stay modified until saved or given up (also when the step is
    // undone), and the copies are this document's from now on. The first save over the file keeps the file's own
    // version beside it first (<name>.bak). The number of entries kept in both forms.
    int applyLeftList(const LeftList& list);
    // Whether the last recovery copy could not be written (the window says so until one succeeds again).
    bool isRecoveryFailing() const { return m_recoveryFailing; }
    // The unsaved lists are given up: their recovery copy goes.
    void discardRecoveryCopy();
    // Keeps the unsaved lists in the recovery copy (a few seconds after a change).
    void writeRecoveryCopy();
    // Waits until the recovery copy being written in the background is on disk.
    void waitForRecoveryCopy();

    // Looks whether the file was changed elsewhere (changedOnDisk() or changedOnDiskWhileModified() tells), and
    // for conflict copies beside it.
    void checkFile();

    // The entries of the three lists now (texts shared).
    ListSections entries() const;
    // Puts these entries in place of the three lists as one step of the history, named text.
    void replaceLists(ListSections&& sections, const QString& text);
    // The same with the extras in one step.
    void replaceLists(ListSections&& sections, ListExtras&& extras, const QString& text);
    // Merges the list file at path (the document's own file changed elsewhere, or a conflict copy beside it) into
    // the lists, three ways from the base; the lists hold the result as a change and nothing is written. The own
    // file's entries become the base. The number of entries kept in both forms; nullopt, and nothing changed, when
    // path does not read completely.
    std::optional<int> mergeFile(const QString& path);
    // What the last merge kept in both forms, per list.
    const std::array<std::vector<MergeConflict>, 3>& lastMergeConflicts() const { return m_lastConflicts; }
    // Emits conflictCopiesFound() for conflict copies of the file not reported before, once the file is there and
    // holds no change made elsewhere that the lists have not taken in.
    void lookForConflictCopies();
    // Where merged conflict copies are kept once the merged lists are saved.
    static QString conflictCopyFolder();

Q_SIGNALS:
    // A change or a whole reading of the lists follows: an edit box still open hands its text over now.
    void editsWanted();
    // The document took a name (also the same one again); empty for New.
    void fileNameChanged(const QString& fileName);
    void modifiedChanged(bool modified);
    // The file was changed by another program while the lists hold no change of their own.
    void changedOnDisk();
    void shoppingCountChanged(int count);
    // The file was changed elsewhere while the lists hold changes of their own: a merge is due. Once per change.
    void changedOnDiskWhileModified();
    // Conflict copies of the file that sync programs left beside it, newest first.
    void conflictCopiesFound(const QStringList& paths);
    // Merged conflict copies were moved into folder after the save that holds them.
    void conflictCopiesKept(const QString& folder, int count);
    // A recovery copy could not be written (true), or could again (false).
    void recoveryFailingChanged(bool failing);
    // The records of the extras changed: by a step, its undo or redo, or a file read.
    void extrasChanged();
    // A file was read (or the lists emptied): whether it had a block after the lists and whether it was read. A
    // block that could not be read was skipped whole (the lists are whole), and a save keeps the file's own bytes
    // first.
    void extrasRead(ListExtras::State state);
    void ticksChanged();

private:
    friend class ExtrasCommand;
    // Puts extras in place of the document's, which it receives; the change of a step.
    void swapExtras(ListExtras& extras);
    // Wires the ticks, the walk and the staples to the lists.
    void setUpRoutine();
    // The records changed: the rows whose tick changed are drawn again, the staples looked up anew.
    void takeExtras();
    // Does the step and keeps it.
    void push(QUndoCommand* step);
    int addEntry(ListKind kind, Entry&& entry, const QString& stepName);
    void listsChanged();
    // The lists are what the file holds (read or written): the history's state now is the clean one.
    void markUnmodified();
    void setFileName(const QString& path);
    // Every read of a file into the lists goes through here; the lists are replaced whole.
    ReadResult readFile(const QString& path);
    void fileRead(const QString& path, const ReadFacts& facts);
    void copyRecoverySlice();
    void stopRecoveryCopy();
    void watchFile();
    void keepMergedCopies();
    SectionPrints prints() const;
    // Makes the step (a merge's or a reload's) swap the file as seen with the document's, both ways.
    void seenInStep(const std::shared_ptr<FileSeen>& seen, QUndoCommand* step);

    ListModel* m_stores = nullptr;
    ListModel* m_products = nullptr;
    ListModel* m_shopping = nullptr;
    std::unique_ptr<ListExtras> m_extras;
    std::unique_ptr<ShoppingTicks> m_ticks;
    std::unique_ptr<Staples> m_staples;
    std::unique_ptr<ProductNames> m_productNames;
    QString m_fileName;
    QUndoStack* m_history = nullptr;
    // A step of the history is changing the lists; any other change leaves the steps behind it invalid.
    bool m_stepping = false;
    // editsWanted() is being answered: the rename it brings is no reason to ask again.
    bool m_collectingEdits = false;
    // The entry an add opened for naming, until its edit box closes.
    std::optional<std::pair<ListKind, int>> m_naming;
    int m_shoppingCount = 0;

    QString m_readAheadPath;
    std::future<ListContent> m_readAhead;

    std::unique_ptr<DocumentFileState> m_fileState;
    QFileSystemWatcher* m_fileWatcher = nullptr;
    QTimer* m_fileCheckTimer = nullptr;

    std::unique_ptr<RecoveryStore> m_recovery;
    std::unique_ptr<RecoveryCopier> m_recoveryCopier;
    QTimer* m_recoveryTimer = nullptr;
    QTimer* m_copyTimer = nullptr;
    quint64 m_changeGeneration = 0;
    quint64 m_copyGeneration = 0;

    // The entries as the file held them when last read or written, where a merge starts from: their prints alone,
    // so that the document never holds the lists twice.
    SectionPrints m_base;
    std::array<std::vector<MergeConflict>, 3> m_lastConflicts;
    FileStamp m_announcedChange;
    QStringList m_reportedCopies;
    QStringList m_mergedCopies;
    bool m_recoveryFailing = false;
    // Tells other windows that this one has the file open; in the runtime folder, never beside the list, which
    // a synchronised folder would carry to other machines.
    std::unique_ptr<QLockFile> m_openLock;
    // The file whose content recovered lists replace: its own version is kept before the first save over it.
    QString m_recoveredOver;
};

} // namespace korbana
