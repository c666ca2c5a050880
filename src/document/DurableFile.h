#pragma once

#include <QFile>
#include <QString>

#include <functional>
#include <optional>

class QFileDevice;

namespace korbana {

// What a save needs so that a written file survives a power cut, never replaces what is not a file of ours, and
// never touches a file beside it that the program did not make.

// False when the path is (or links to) something other than a regular file: a device, a pipe, a folder. A save
// there would replace the device with a file.
bool isReplaceableTarget(const QString& path);

// Pushes the device's bytes to the disk; false when the system reports that it could not.
bool syncToDisk(QFileDevice& file);
// Makes a rename inside the file's folder durable. A failure is not reported: the file itself is safe already.
void syncFolderOf(const QString& path);

// The permission bits of a file (links followed); nullopt when it does not exist.
std::optional<unsigned> permissionBitsOf(const QString& path);
// Gives an open file these permission bits; false when the system refuses.
bool setPermissionBits(QFileDevice& file, unsigned bits);

// Makes the folder with its parents; the folder itself (not a link there) is the owner's alone, also when it
// existed before. False when it is not there afterwards.
bool makeOwnerOnlyFolder(const QString& folder);
// Takes away from the file the permission bits that the file it was made from lacks, the owner's own excepted: a
// copy or export is never more readable than the list it holds. Nothing happens when either is missing.
void limitReadersTo(const QString& path, const QString& source);

// Whether a file name is one of the temporaries that a save of the file named base makes beside it.
bool isOwnSaveTemporary(const QString& candidate, const QString& base);
// Removes the temporaries of ours that a killed save left beside the file, when they are old enough that no
// other save is still writing them. Nothing else is ever removed.
void removeStaleSaveTemporaries(const QString& path);

// Writes a file under a temporary name beside it (".<name>.korbana-XXXXXX.tmp", readable by the owner only), then
// puts it in place in one rename, with the permission bits of the file it replaces. Until commit() succeeds the
// target stays exactly as it was; a temporary not committed is removed.
class SaveFile : public QFile
{
public:
    enum class Kind {
        Shared, // the user's own file: written through a link, keeps its permission bits
        Private, // a copy for the owner alone: mode 0600, and a link at its path is refused
    };

    explicit SaveFile(const QString& target, Kind kind = Kind::Shared);
    ~SaveFile() override;
    Q_DISABLE_COPY_MOVE(SaveFile)

    // The file that commit() replaces.
    QString targetName() const { return m_target; }

    // Creates the temporary for writing; false when the target cannot be replaced or the folder takes no file.
    bool begin();
    // Puts the written bytes in place, durably. When the target holds exactly these bytes already it is left as it
    // is (no new version for a sync engine to carry), and the call still succeeds. False on any failure, and then
    // the target is untouched and the temporary gone.
    bool commit();
    // Drops what was written.
    void cancel();

    // The file put in place is no more readable than source (the list an export or copy comes from).
    void setReadersLike(const QString& source) { m_readersLike = source; }

    // Whether the last commit() found the bytes in the target already and left it alone.
    bool keptExisting() const { return m_keptExisting; }

private:
    bool targetHoldsSameBytes();

    QString m_target;
    Kind m_kind;
    QString m_readersLike;
    bool m_keptExisting = false;
};

// Tests replace the disk sync to make it fail; an empty function restores the real one.
void setDiskSyncForTesting(std::function<bool(int fd)> sync);

} // namespace korbana
