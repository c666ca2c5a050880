#pragma once

#include "ListFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QThreadPool>

class QLockFile;

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace korbana {

// The bytes of a recovery copy on their way from the window to the thread that writes them.
class RecoveryStream final
{
public:
    void add(QByteArray bytes);
    // What was handed over so far is void: the copy starts again from these bytes.
    void restart(QByteArray bytes);
    // Everything is handed over: the copy may be put in place.
    void finish();
    // Nothing more comes and nothing is put in place (also the writer's answer to a failure).
    void cancel();
    bool isCancelled() const;
    // Bytes handed over and not written yet.
    qsizetype pending() const;

private:
    friend class RecoveryStore;
    struct Block
    {
        QByteArray bytes;
        bool restart = false;
    };
    enum class Next { Block, Finished, Cancelled };
    // Waits for the next block, or the end.
    Next take(Block& block);

    mutable std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<Block> m_blocks;
    qsizetype m_pending = 0;
    bool m_finished = false;
    bool m_cancelled = false;
};

// Encodes the three lists into a recovery copy a slice of rows at a time, so that the window answers between the
// slices even at a million rows, and hands each slice's bytes to the writer thread: the rows are never copied,
// and only a few slices' bytes wait at any time. The lists must not change until it is done (start anew when they
// do).
class RecoveryCopier final
{
public:
    // Rows per turn of the event loop, and bytes: a few milliseconds of encoding.
    static constexpr qsizetype kRowsPerTurn = 25000;
    static constexpr qsizetype kBytesPerTurn = qsizetype(1) << 20;
    // Bytes that may wait for the writer before the window encodes more.
    static constexpr qsizetype kMaxPendingBytes = qsizetype(2) << 20;

    RecoveryCopier() = default;
    ~RecoveryCopier();
    Q_DISABLE_COPY_MOVE(RecoveryCopier)

    void start(const ListSet& lists, std::shared_ptr<RecoveryStream> stream);
    void cancel();
    bool isActive() const { return m_stream != nullptr; }
    // Whether the writer has not caught up yet: the next copy() would do nothing.
    bool isWriterBehind() const;
    // Encodes up to rows further rows and hands them on; true when the whole copy is handed on, or the writer gave
    // up.
    bool copy(qsizetype rows);

private:
    std::optional<ListEncoder> m_encoder;
    std::shared_ptr<RecoveryStream> m_stream;
};

// A recovery copy whose window is gone (crashed or killed), found again at a start.
struct LeftCopy
{
    QString copyPath;
    QString documentPath; // empty for a document without a name
    QDateTime written;
    // The list file as the window last read or wrote it, which its lists went on from; none when not known.
    FileStamp base;
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

    // Makes the folder, for its owner alone; false when it is no folder of its own (a link, say).
    static bool makeFolder();
    // The copies whose window is gone, newest first; with documentPath only those of that document. Only files that
    // korbana made count, never any reached through a link.
    static std::vector<LeftCopy> leftCopies(const std::optional<QString>& documentPath = std::nullopt);
    static std::optional<QByteArray> read(const LeftCopy& copy);
    enum class Aside { Declined, Damaged };
    // Moves a copy that the user declined, or one that does not read completely, out of the way (kept, renamed
    // with the reason and the time), so that it is not offered again but is not lost either. Its new path.
    static QString setAside(const LeftCopy& copy, Aside why = Aside::Declined);
    // This window goes on with left copies (newest first): it keeps them until the lists are saved or given up,
    // and its own copy is the first of them.
    void adopt(const std::vector<LeftCopy>& copies);

    enum class Outcome { Written, Unchanged, Failed };
    // Writes the bytes that come through the stream on a worker thread, and puts them in place atomically once the
    // stream is finished. When they turn out to be what the file holds (savedHash), the copy is removed instead
    // (Unchanged). base: the file as the lists last read or wrote it, kept beside the copy. done(outcome) runs on the
    // receiver's thread; a cancelled stream writes nothing and tells nothing.
    std::shared_ptr<RecoveryStream> begin(const QString& documentPath, const QByteArray& savedHash,
        const FileStamp& base, QObject* receiver, std::function<void(Outcome)> done);
    // Removes this window's copy and the copies it adopted besides its own, and only them; a write still under way
    // for it is dropped.
    void remove();
    // Waits for the writes under way.
    void waitForWrites();

private:
    QString ownerPath(const QString& suffix) const;
    // Under m_mutex: the lock that marks this window's copy as alive, taken before its first copy.
    bool holdOwnerLock();
    // Under m_mutex: the document's path beside the copy; false when it could not be written.
    bool nameDocument(const QString& documentPath);
    // Under m_mutex: the file that the lists went on from is kept beside the copy once it is in place; one named
    // for another goes before the copy is written. False when that one cannot go.
    bool dropOtherBase(const FileStamp& base);
    void nameBase(const FileStamp& base);

    QThreadPool m_pool; // one thread: the writes follow each other
    std::mutex m_mutex;
    quint64 m_epoch = 0; // bumped by every removal; older writes are dropped
    QString m_owner;
    std::shared_ptr<QLockFile> m_ownerLock;
    QString m_namedDocument; // the path in the .name file, null before it was written
    std::optional<FileStamp> m_namedBase; // what the .base file holds, nullopt before it was written
    // Copies of other gone windows taken over with this one's, removed with it.
    std::vector<LeftCopy> m_adopted;
};

} // namespace korbana
