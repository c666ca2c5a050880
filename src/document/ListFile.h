#pragma once

#include "DurableFile.h"
#include "FileFingerprint.h"
#include "ListExtras.h"
#include "lists/ListModel.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace korbana {

// The list file: the Store list, the Product catalogue and the Shopping list in one text file, one field per line.

struct ListSet
{
    ListModel* stores = nullptr;
    ListModel* products = nullptr;
    ListModel* shopping = nullptr;
    // What the block after the lists holds; without it, a file is read and written as if it had none.
    ListExtras* extras = nullptr;
};

enum class ReadResult {
    Ok,
    CannotOpen, // "Konnte die Datei nicht öffnen." - the lists are left as they were
    BadFormat, // "Fehler beim Öffnen der Datei (Ungültiges Format?)." - entries read so far stay
};

enum class WriteResult {
    Ok,
    CannotCreate, // "Konnte die Datei nicht erstellen."
    WriteFailed, // "Konnte die Datei nicht vollständig schreiben." - the old file is untouched
};

// The whole content of a plain file; nullopt when it cannot be opened or is no plain file (a pipe or a device
// would block or never end).
std::optional<QByteArray> readWholeFile(const QString& path);

// What reading a list file learnt about the file itself.
struct ReadFacts
{
    FileStamp stamp; // taken before the read
    QByteArray contentHash; // of every byte read
    // False when a save would not write back all the file held: a format error, a count past the end, a byte 26
    // before the end, lines after the lists that are no sound block of ours, or bytes that are no text in the file's
    // encoding.
    bool complete = false;
    // Whether there was a block after the lists, and whether it could be read.
    ListExtras::State extras = ListExtras::State::Absent;
    // False when a line that the lists took had no line end: the file may have been cut short (a copy still being
    // written, a full disk), so that its last text or entries are missing, which only a look at the lists shows.
    bool linesEnded = false;
    // Whether the file may stand for another side's whole version in a merge: read completely and nothing cut off.
    bool isWholeVersion() const { return complete && linesEnded; }
};

// The entries of a list file, read apart from the lists: a worker thread may read them while the window is built.
struct ListContent
{
    std::array<std::vector<Entry>, 3> sections; // the Store list, the Product catalogue, the Shopping list
    ListExtras extras;
    ReadResult result = ReadResult::CannotOpen;
    ReadFacts facts;
};
ListContent readListContent(const QString& path);
// When the file could be opened, empties the three lists and fills them with its entries (and the extras, when the
// set has them); gives its result.
ReadResult applyListContent(ListContent&& content, const ListSet& lists);

// Opens the file; when that succeeds, empties the three lists and fills them from it.
ReadResult readListFile(const QString& path, const ListSet& lists, ReadFacts* facts = nullptr);
// The lists that the bytes of a list file hold.
ListContent parseListContent(QByteArrayView data);
// Empties the three lists and fills them from the bytes of a list file.
ReadResult parseListFile(QByteArrayView data, const ListSet& lists);
// Whether the bytes read as a list file to their end, with nothing left out.
bool readsCompletely(QByteArrayView data);

// The bytes of the three lists as a list file.
QByteArray encodeListFile(const ListSet& lists);

// Encodes the three lists as a list file a part at a time, so that the bytes can go to a file while the rest is
// still to be encoded. The lists must not change until it is done.
class ListEncoder
{
public:
    explicit ListEncoder(const ListSet& lists)
        : m_lists(lists)
    {
    }

    enum class Step {
        More, // the limits were reached first
        Done,
        NeedsUtf8, // a text has no Windows-1252 form: what was encoded is void, start again with restartInUtf8()
    };
    // Appends the next entries to out: at most rows of them, and none once out holds untilSize bytes.
    Step encode(QByteArray& out, qsizetype rows, qsizetype untilSize);

    // Whether the Windows-1252 fields written so far would all read as UTF-8, one at least with a character of
    // more than one byte.
    class Utf8Lookalike
    {
    public:
        void add(QByteArrayView field);
        bool readsAsUtf8() const { return m_highBytes && !m_invalid; }

    private:
        bool m_highBytes = false;
        bool m_invalid = false;
    };
    // From the start again, in UTF-8 and marked so that the reader knows: out holds the mark alone.
    void restartInUtf8(QByteArray& out);

private:
    ListSet m_lists;
    bool m_utf8 = false;
    Utf8Lookalike m_lookalike;
    size_t m_section = 0;
    int m_row = -1; // before the section's count
    QStringList m_block; // the lines of the block after the lists
    qsizetype m_blockLine = -1; // before the block is made
};
// Writes the three lists; a failure leaves an existing file exactly as it was.
// With contentHash, it receives the hash of the bytes written.
// When the file holds these very bytes already it is left as it is.
WriteResult writeListFile(const QString& path, const ListSet& lists, QByteArray* contentHash = nullptr);
WriteResult writeListFile(const QString& path, const ListSet& lists, QByteArray* contentHash, SaveFile::Kind kind);
// Begins the save file, writes the bytes and commits them; on any failure the target stays as it was.
WriteResult saveWholeFile(SaveFile& file, QByteArrayView bytes);

// The message and its title for a result other than Ok.
QString messageText(ReadResult result);
QString messageTitle(ReadResult result);
QString messageText(WriteResult result);
QString messageTitle(WriteResult result);

} // namespace korbana
