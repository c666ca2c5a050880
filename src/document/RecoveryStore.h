#pragma once

#include "lists/ListModel.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QThreadPool>

class QLockFile;

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace korbana {

struct ListSet;

// The three lists' rows, copied so that another thread can write them while the window goes on.
struct ListsSnapshot
{
    std::vector<Entry> stores;
    std::vector<Entry> products;
    std::vector<Entry> shopping;
};

// Copies the three lists a slice of rows at a time, so that the window answers between the slices even at a
// million rows. The lists must not change until the copy is complete (start anew when they do).
class SnapshotCopier final
{
public:
    // Rows per turn of the event loop: a few milliseconds of copying.
    static constexpr qsizetype kRowsPerTurn = 50000;

    void start(const ListSet& lists);
    void cancel();
    bool isActive() const { return m_active; }
    // Copies up to rows further rows; true when the whole snapshot is there.
    bool copy(qsizetype rows);
    ListsSnapshot take();

private:
    const ListModel* m_lists[3] = {};
    std::vector<Entry>* targetOf(int list);
    ListsSnapshot m_snapshot;
    int m_list = 0;
    int m_row = 0;
    bool m_active = false;
};

// A recovery copy whose window is gone (crashed or killed), found again at a start.
struct LeftCopy
{
    QString copyPath;
    QString documentPath; // empty for a document without a name
    QDateTime written;
    // The gone owner's lock, held while the copy is offered: no other window offers or takes it meanwhile.
    std::shared_ptr<QLockFile> ownerLock;
};

// Recovery copies: the unsaved lists of a document, kept in the user's state folder so that a crash loses at
// most a few seconds of work. One copy per window, in the list file format: <owner>.kbl, with the document's path
// in <owner>.name and a lock <owner>.lock that the window holds while it runs (a dead owner leaves it stale).
class RecoveryStore final
{
public:
    RecoveryStore();
    ~RecoveryStore();
    Q_DISABLE_COPY_MOVE(RecoveryStore)

    // $XDG_STATE_HOME/korbana/recovery (~/.local/state/... without it); elsewhere the application's data folder.
    static QString folder();
    // Tests keep their copies in a folder of their own; empty restores the normal place.
    static void setFolderOverride(const QString& folder);
    // This window's copy.
    QString copyPath() const;

    // The copies whose window is gone, newest first; with documentPath only those of that document.
    static std::vector<LeftCopy> leftCopies(const std::optional<QString>& documentPath = std::nullopt);
    static std::optional<QByteArray> read(const LeftCopy& copy);
    enum class Aside { Declined, Damaged };
    // Moves a copy that the user declined, or one that does not read completely, out of the way (kept, renamed
    // with the reason and the time), so that it is not offered again but is not lost either. Its new path.
    static QString setAside(const LeftCopy& copy, Aside why = Aside::Declined);
    // This window goes on with a left copy: it keeps it until the lists are saved or given up.
    void adopt(const LeftCopy& copy);

    enum class Outcome { Written, Unchanged, Failed };
    // Writes the lists on a worker thread, atomically. When they turn out to be what the file holds
    // (savedHash), the copy is removed instead (Unchanged). done(outcome) runs on the receiver's thread.
    void write(const QString& documentPath, ListsSnapshot snapshot, const QByteArray& savedHash, QObject* receiver,
        std::function<void(Outcome)> done);
    // Removes this window's copy, and only it; a write still under way for it is dropped.
    void remove();
    // Waits for the writes under way.
    void waitForWrites();

private:
    QString ownerPath(const QString& suffix) const;
    // Under m_mutex: the lock that marks this window's copy as alive, taken before its first copy.
    bool holdOwnerLock();

    QThreadPool m_pool; // one thread: the writes follow each other
    std::mutex m_mutex;
    quint64 m_epoch = 0; // bumped by every removal; older writes are dropped
    QString m_owner;
    std::shared_ptr<QLockFile> m_ownerLock;
    QString m_namedDocument; // the path in the .name file, null before it was written
};

} // namespace korbana
