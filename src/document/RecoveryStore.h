#pragma once

#include "lists/ListModel.h"

#include <QByteArray>
#include <QString>
#include <QThreadPool>

#include <functional>
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

// Recovery copies: the unsaved lists of a document, kept in the user's state folder so that a crash loses at
// most a few seconds of work. One copy per document path, in the list file format.
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
    static QString copyPathFor(const QString& documentPath);

    static std::optional<QByteArray> read(const QString& documentPath);
    enum class Aside { Declined, Damaged };
    // Moves a copy that the user declined, or one that does not read completely, out of the way (kept, renamed
    // with the reason and the time), so that it is not offered again but is not lost either. Its new path.
    static QString setAside(const QString& documentPath, Aside why = Aside::Declined);

    enum class Outcome { Written, Unchanged, Failed };
    // Writes the lists on a worker thread, atomically. When they turn out to be what the file holds
    // (savedHash), the copy is removed instead (Unchanged). done(outcome) runs on the receiver's thread.
    void write(const QString& documentPath, ListsSnapshot snapshot, const QByteArray& savedHash, QObject* receiver,
        std::function<void(Outcome)> done);
    // Removes the copy; a write still under way for it is dropped.
    void remove(const QString& documentPath);
    // Waits for the writes under way.
    void waitForWrites();

private:
    QThreadPool m_pool; // one thread: the writes follow each other
    std::mutex m_mutex;
    quint64 m_epoch = 0; // bumped by every removal; older writes are dropped
};

} // namespace korbana
