#pragma once

#include <QString>

#include <functional>

class QFileDevice;

namespace korbana {

// What a save needs beyond QSaveFile so that a written file survives a power cut and never replaces what is not
// a file of ours.

// False when the path is (or links to) something other than a regular file: a device, a pipe, a folder. A save
// there would replace the device with a file.
bool isReplaceableTarget(const QString& path);

// Pushes the device's bytes to the disk; false when the system reports that it could not.
bool syncToDisk(QFileDevice& file);
// Makes a rename inside the file's folder durable. A failure is not reported: the file itself is safe already.
void syncFolderOf(const QString& path);
// Removes temporaries that a killed save left beside the file ("<name>.XXXXXX"), when they are old enough that
// no other program is still writing them.
void removeStaleSaveTemporaries(const QString& path);

// Tests replace the disk sync to make it fail; an empty function restores the real one.
void setDiskSyncForTesting(std::function<bool(int fd)> sync);

} // namespace korbana
