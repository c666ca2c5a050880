#pragma once

#include "document/ListFile.h"
#include "lists/ListModel.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

namespace korbana {

// CSV export and import of the three lists, for spreadsheets and other shopping-list programs.
//
// Export: a header "Liste;Menge;Name;Laden;Preis", then one row per entry naming its list ("Laden", "Produkt",
// "Einkauf"; a shop's name stands under "Name"); UTF-8 with a byte-order mark, CR LF, RFC 4180 quoting. A text that
// begins with "=", "+", "-", "@", a tab, a carriage return or an apostrophe is written with one apostrophe in front
// (and quoted), so that no spreadsheet runs it as a formula; importing korbana's own shape removes exactly that one
// apostrophe again.
//
// Import: korbana's own shape, or a plain product table whose header names at least a name column. The separator
// is the one the first line uses most, or the one a first line "sep=;" names (as Excel writes it).

// The separator korbana writes, and takes when a first line names none.
inline constexpr QChar kCsvSeparator = u';';

// The three lists as one CSV file.
QByteArray encodeCsv(const ListSet& lists);

// One field as the export writes it: guarded against formulas, quoted where needed.
QString csvField(const QString& text);

// UTF-8 when a byte-order mark says so or the bytes are valid UTF-8, Windows-1252 otherwise.
QString decodeCsvText(QByteArrayView data);

// The separator that the first line uses most: ";", tab or "," (";" when none).
QChar detectCsvSeparator(QStringView text);

// One record of a CSV text and the line it starts on (counted from 1).
struct CsvRecord
{
    int line = 0;
    QStringList fields;
};

// The records of a CSV text, blank lines left out, or the line of a quote that is never closed.
struct CsvSplit
{
    std::vector<CsvRecord> records;
    int unclosedQuoteLine = 0; // 0 when every quote is closed
};
CsvSplit splitCsv(QStringView text, QChar separator, int firstLine = 1);

// The records of a CSV text one at a time, blank lines left out.
class CsvScanner
{
public:
    CsvScanner(QStringView text, QChar separator, int firstLine = 1);
    // The text comes in pieces: more appends the next one to the text it is given and says false at the end. Only
    // the record being read and what follows it are held.
    CsvScanner(std::function<bool(QString&)> more, int firstLine = 1);
    // Reads the text's first line, and a first line "sep=;" (as Excel writes it) with its separator; the separator
    // is that one or the one the first line uses most.
    void takeFirstLine();
    // The next record; false at the end or at a quote that is never closed.
    bool next(CsvRecord& record);
    // The line of a quote that is never closed; 0 while none was met.
    int unclosedQuoteLine() const { return m_unclosedQuoteLine; }
    // How far into the text the records read so far reach.
    qsizetype position() const { return m_pos; }

private:
    enum class Step { Record, End, NeedMore };
    Step scan(CsvRecord& record);
    // Drops what was read and appends at least as much text as is left; false when no text came.
    bool readMore();

    std::function<bool(QString&)> m_more;
    QString m_buffer;
    QStringView m_text;
    bool m_complete = true; // the whole text is in m_text
    QChar m_separator;
    int m_line;
    qsizetype m_pos = 0;
    qsizetype m_recordStart = 0;
    int m_recordLine = 0;
    int m_unclosedQuoteLine = 0;
};

// A bare number ("1,5", "1.50", "2") becomes a price text as adding a product makes it; other texts, and numbers
// that may hold a digit group ("1.000"), stay as they are.
QString importedPriceText(const QString& cell);

// What a CSV file gives before it touches a list; all or nothing.
struct CsvContent
{
    std::vector<Entry> stores;
    std::vector<Entry> products;
    std::vector<Entry> shopping;
    QString error; // a German message with the line number; empty when the whole file was read
    bool cancelled = false; // stopped on request: nothing is to be imported
    bool cannotOpen = false;
};
CsvContent parseCsv(QByteArrayView data);

// Lets a reading on another thread be stopped and followed.
struct CsvReadControl
{
    std::atomic<bool> cancel { false };
    std::atomic<int> permille { 0 }; // how much of the file was read, in thousandths
};
CsvContent parseCsv(QByteArrayView data, CsvReadControl* control);
// Reads a CSV file into entries, touching no list: it may run on another thread. The file is capped as a list
// file is, and its entries take at most five times its size in memory; the file and its text are read a block
// at a time and never held whole beside them.
CsvContent readCsvFile(const QString& path, CsvReadControl* control = nullptr);

// A failed export or import: the message for the user and its title.
struct CsvFailure
{
    QString text;
    QString title;
};

// Writes the three lists; on failure an existing file stays as it was. The file is no more readable than the list
// file at listPath, when there is one.
std::optional<CsvFailure> exportCsvFile(const QString& path, const ListSet& lists, const QString& listPath = {});
// Reads the file for an import into content, or tells why it cannot be imported.
std::optional<CsvFailure> readCsvFile(const QString& path, CsvContent& content);
// Appends what the file holds to the lists, or nothing at all on failure.
std::optional<CsvFailure> importCsvFile(const QString& path, const ListSet& lists);
// The failure to show for what was read, if any.
std::optional<CsvFailure> csvFailure(const CsvContent& content);
// Appends what was read to the lists; the failure to show otherwise (none when the reading was cancelled).
std::optional<CsvFailure> applyCsvContent(CsvContent&& content, const ListSet& lists);

} // namespace korbana
