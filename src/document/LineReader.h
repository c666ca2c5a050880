#pragma once

#include <QByteArray>
#include <QByteArrayView>

class QIODevice;

namespace korbana {

// The lines of a list file: a line ends at CR (an LF right after it belongs to the end), byte 26 ends the file,
// and past the end every line is empty. A file on a device is read block by block, so that a large one is never
// held whole beside the lists it fills.
class LineReader
{
public:
    // Lines of bytes already in memory; they must outlive the reader.
    explicit LineReader(QByteArrayView data);
    // Lines read from the device as they are needed; a read error ends the file there.
    explicit LineReader(QIODevice& device);

    // Whether the file started with a UTF-8 byte-order mark (not part of the first line).
    bool isUtf8() const { return m_utf8; }

    bool atEnd();
    // The next line without its end, valid until the next call.
    QByteArrayView next();

    // At least as many bytes as are still to come.
    qint64 remainingBytes() const;

private:
    void start(QByteArrayView head);
    // Keeps the unread bytes and appends the device's next block; false at the end of the device.
    bool refill();
    // Takes the bytes from pos on as the rest of the file when they hold a byte 26.
    void cutAtEndOfFile(const char* from);

    QIODevice* m_device = nullptr;
    QByteArray m_buffer;
    const char* m_pos = nullptr;
    const char* m_end = nullptr;
    bool m_exhausted = true;
    bool m_utf8 = false;
};

} // namespace korbana
