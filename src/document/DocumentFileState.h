#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <optional>

namespace korbana {

// What a file on disk looked like at one moment.
struct FileStamp
{
    bool exists = false;
    qint64 size = -1;
    QDateTime modified;
    quint64 device = 0;
    quint64 inode = 0;

    static FileStamp of(const QString& path);
    bool sameMetadata(const FileStamp& other) const;
};

// The document's file as the program last read or wrote it: so that a save notices changes made elsewhere, and a
// file that did not load completely is kept before it is overwritten.
class DocumentFileState final
{
public:
    // Reads the file and remembers it; nullopt when it cannot be read (then nothing changes).
    std::optional<QByteArray> read(const QString& path);
    // After a load: false when the lists do not hold all of the file (a format error, a count past the end, bytes
    // that a save would not write back).
    void setLoadedCompletely(bool complete) { m_complete = complete; }
    // After a successful write of these bytes.
    void written(const QString& path, QByteArrayView bytes);
    // The document has no file any more (New).
    void forget();

    QString path() const { return m_path; }
    bool isLoadedCompletely() const { return m_complete; }
    // The content hash of what was last read or written.
    QByteArray contentHash() const { return m_hash; }

    // True when the file exists and is not what was last read or written here. A file that is gone is not changed:
    // nothing of it can be overwritten.
    bool changedElsewhere() const;
    // True when a save to path must first keep the file's original bytes.
    bool needsBackup(const QString& path) const;
    // Copies the file beside itself (<name>.bak, <name>.bak2, ...), never over an existing file. The path of the
    // copy, or nullopt when it could not be made.
    std::optional<QString> keepBackup() const;

    // Whether the lists have been changed since the last read or write.
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    static QByteArray hashOf(QByteArrayView bytes);

private:
    QString m_path;
    FileStamp m_stamp;
    QByteArray m_hash;
    bool m_complete = true;
    bool m_modified = false;
};

} // namespace korbana
