#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

class QIODevice;

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

// A hash of a file's content that tells whether two contents differ. Not for storing: it is the same only within
// one run of the program. Bytes may arrive in pieces of any size; the result depends on the content alone. Fast
// enough to go along with reading a large list file without being felt.
class ContentHash
{
public:
    void add(QByteArrayView bytes);
    // Adds what is left to read from the device; false on a read error.
    bool addRest(QIODevice& device);
    QByteArray result() const;

    static QByteArray of(QByteArrayView bytes);
    // The hash of a plain file's content; empty when it cannot be read.
    static QByteArray ofFile(const QString& path);

private:
    void addChunk(const char* data);

    QByteArray m_pending;
    size_t m_state = 0;
    qint64 m_length = 0;
};

} // namespace korbana
