#pragma once

#include <QByteArray>
#include <QByteArrayView>

class QIODevice;

namespace korbana {

class ContentHash;
class Utf8Check;

// Whether bytes are valid UTF-8 holding at least one character of more than one byte, as the reader decides.
bool readsAsUtf8(QByteArrayView bytes);

// The lines of a list file: a line ends at CR (an LF right after it belongs to the end), byte 26 ends the file,
// and past the end every line is empty. A file without any CR, as editors and phone apps write it, has its lines
// end at LF instead; where there is a CR, a lone LF stays inside a text. A file on a device is read block by block, so
// that a large one is never held whole beside the lists it fills.
class LineReader
{
public:
    // Lines of bytes already in memory; they must outlive the reader.
    explicit LineReader(QByteArrayView data);
    // Lines read from the device as they are needed; a read error ends the file there. Every byte taken from the
    // device also goes into hash, when there is one.
    explicit LineReader(QIODevice& device, ContentHash* hash = nullptr);

    // Whether the texts are UTF-8: the file starts with a UTF-8 byte-order mark (not part of the first line), or
    // it is valid UTF-8 up to its end and holds at least one character of more than one byte, as phone apps and
    // editors write it. Otherwise the file is Windows-1252.
    bool isUtf8() const { return m_utf8; }

    bool atEnd();
    // The next line without its end, valid until the next call.
    QByteArrayView next();

    // At least as many bytes as are still to come.
    qint64 remainingBytes() const;

    // Whether a line was taken that had no line end: the last line of a file cut short, or a line wanted past the
    // end.
    bool tookUnendedLine() const { return m_tookUnendedLine; }
    // Whether a byte 26 ended the lines (what follows it, if anything, is never read as lines).
    bool stoppedAtEndMark() const { return m_stoppedAtEndMark; }
    // Gives the device's bytes that were not needed for lines to the hash too.
    void hashRest();

private:
    // Takes the first bytes of the file; those of the lines go to utf8 unless a byte-order mark says UTF-8.
    void start(QByteArrayView head, Utf8Check& utf8);
    // Keeps the unread bytes and appends the device's next block; false at the end of the device.
    bool refill();
    // Takes the bytes from pos on as the rest of the file when they hold a byte 26.
    void cutAtEndOfFile(const char* from);
    // Looks through the device's bytes after those read so far, up to the end mark, for what the first block left
    // open: whether a CR stands in them, whether they continue valid UTF-8. The device is left where it was.
    void scanRestOfDevice(Utf8Check& utf8);

    QIODevice* m_device = nullptr;
    ContentHash* m_hash = nullptr;
    QByteArray m_buffer;
    const char* m_pos = nullptr;
    const char* m_end = nullptr;
    bool m_exhausted = true;
    bool m_utf8 = false;
    bool m_stoppedAtEndMark = false;
    bool m_tookUnendedLine = false;
    char m_lineEnd = '\r';
};

} // namespace korbana
