#pragma once

#include "FileFingerprint.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace korbana {

// The document's file as the program last read or wrote it: so that a save notices changes made elsewhere, and a
// file that did not load completely is kept before it is overwritten.
class DocumentFileState final
{
public:
    // After the file was read: what it was then, and whether the lists hold all of it.
    void loaded(const QString& path, const FileStamp& stamp, const QByteArray& contentHash, bool complete);
    // After a successful write of bytes with this hash (ContentHash).
    void written(const QString& path, const QByteArray& contentHash);
    // The document has no file any more (New).
    void forget();

    QString path() const { return m_path; }
    bool isLoadedCompletely() const { return m_complete; }
    // The content hash of what was last read or written.
    QByteArray contentHash() const { return m_hash; }
    // The file's size, time and place when last read or written.
    FileStamp stamp() const { return m_stamp; }

    // True when the file exists and is not what was last read or written here. A file that is gone is not changed:
    // nothing of it can be overwritten.
    bool changedElsewhere() const;
    // True when a save to path must first keep the file's original bytes.
    bool needsBackup(const QString& path) const;
    // Copies the file beside itself (<name>.bak, <name>.bak2, ...), never over an existing file. The path of the
    // copy, or nullopt when it could not be made.
    std::optional<QString> keepBackup() const;

private:
    QString m_path;
    FileStamp m_stamp;
    QByteArray m_hash;
    bool m_complete = true;
};

} // namespace korbana
