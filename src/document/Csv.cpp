#include "Csv.h"

#include "Windows1252.h"

#include "lists/ListTexts.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <utility>

namespace korbana {

namespace {

// The byte-order mark of UTF-8, by which spreadsheets recognise it.
constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
constexpr char16_t kLineEnd[] = u"\r\n";
constexpr char16_t kImportTitle[] = u"CSV Import";
constexpr int kOwnFieldCount = 5;
// As for the list file: no file near this size is a list, and reading it may take five times the file's size
// (at least a few megabytes for a small file): the entries, and the blocks being read and decoded.
constexpr qint64 kMaxCsvFileSize = qint64(512) << 20;
constexpr qint64 kMemoryPerFileByte = 5;
constexpr qint64 kMinMemoryBudget = qint64(32) << 20;
constexpr qint64 kReadingMemory = qint64(16) << 20;
constexpr qsizetype kMaxPooledTexts = 1 << 16;
// The file is read and decoded in blocks of this size.
constexpr qint64 kReadBlock = qint64(1) << 20;
const std::array<QStringView, kOwnFieldCount> kOwnHeader = { u"Liste", u"Menge", u"Name", u"Laden", u"Preis" };
constexpr char16_t kStoreList[] = u"Laden";
constexpr char16_t kProductList[] = u"Produkt";
constexpr char16_t kShoppingList[] = u"Einkauf";

// Spreadsheets run a cell that starts with one of these as a formula (tab and CR because some of them strip
// those first); the apostrophe is here so that a text that really starts with one survives the round trip.
constexpr QStringView kGuardedStarts = u"=+-@\t\r'";
constexpr QChar kGuard = u'\'';
// Spreadsheets also skip leading blanks (no-break and full-width ones too) and take the full-width forms.
constexpr QStringView kGuardedAfterBlanks = u"=+-@\uFF1D\uFF0B\uFF0D\uFF20";

bool needsGuard(const QString& text)
{
    if (text.isEmpty())
        return false;
    if (kGuardedStarts.contains(text.front()))
        return true;
    for (const QChar c : text) {
        if (!c.isSpace())
            return kGuardedAfterBlanks.contains(c);
    }
    return false;
}

// Header names of a foreign product table, case-folded.
const std::array<QStringView, 6> kNameHeaders
    = { u"name", u"produkt", u"artikel", u"bezeichnung", u"product", u"item" };
const std::array<QStringView, 6> kShopHeaders = { u"laden", u"geschäft", u"markt", u"supermarkt", u"shop", u"store" };
const std::array<QStringView, 2> kPriceHeaders = { u"preis", u"price" };

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QString row(std::initializer_list<QString> fields)
{
    QString line;
    bool first = true;
    for (const QString& field : fields) {
        if (!first)
            line += kCsvSeparator;
        first = false;
        line += csvField(field);
    }
    return line + QStringView(kLineEnd);
}

// The export's apostrophe in front of a guarded text; every own-shape field that starts with one carries it.
QString unguarded(const QString& field)
{
    return field.startsWith(kGuard) ? field.mid(1) : field;
}

// Every list text is one line (the list file holds one field per line and ends at byte 26): a line break inside
// a cell becomes a blank, a byte 26 is dropped.
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    text.remove(QChar(0x1A));
    return text;
}

Entry entry(const QString& caption, std::initializer_list<QString> subItems = {})
{
    Entry result;
    result.caption = oneLine(caption);
    std::transform(subItems.begin(), subItems.end(), result.subItems.begin(), oneLine);
    return result;
}

bool allEmpty(const QStringList& fields)
{
    return std::all_of(fields.begin(), fields.end(), [](const QString& f) { return f.isEmpty(); });
}

bool sameName(const QString& header, QStringView name)
{
    return QStringView(header).trimmed().compare(name, Qt::CaseInsensitive) == 0;
}

template<size_t N> int findColumn(const QStringList& header, const std::array<QStringView, N>& names)
{
    for (int column = 0; column < header.size(); ++column) {
        const QString folded = header[column].trimmed().toCaseFolded();
        if (std::find(names.begin(), names.end(), QStringView(folded)) != names.end())
            return column;
    }
    return -1;
}

QString cell(const QStringList& fields, int column)
{
    return column >= 0 && column < fields.size() ? fields[column] : QString();
}

CsvContent failure(int line, const QString& reason)
{
    CsvContent content;
    content.error = QStringLiteral("Zeile %1: %2\nEs wurde nichts importiert.").arg(line).arg(reason);
    return content;
}

bool isOwnHeader(const QStringList& fields)
{
    if (fields.size() != kOwnFieldCount)
        return false;
    for (int i = 0; i < kOwnFieldCount; ++i) {
        if (!sameName(fields[i], kOwnHeader[static_cast<size_t>(i)]))
            return false;
    }
    return true;
}

// How much of a block ends before a UTF-8 sequence that the next block completes: the cut that leaves every
// block decodable alone as the whole would be decoded.
qsizetype completeUtf8(QByteArrayView block)
{
    const qsizetype n = block.size();
    for (qsizetype back = 1; back <= std::min<qsizetype>(3, n); ++back) {
        const auto byte = static_cast<unsigned char>(block[n - back]);
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte: its lead is further back
        const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return back < length ? n - back : n;
    }
    return n;
}

// The text of CSV bytes, decoded a block at a time: UTF-8 when a byte-order mark says so or all the bytes are
// valid UTF-8, Windows-1252 otherwise, as decodeCsvText decides for the whole. Deciding reads the bytes once
// more beforehand, so that neither the bytes nor their text are ever held whole.
class CsvPieces
{
public:
    CsvPieces(QIODevice& device, qint64 size, const CsvReadControl* control)
        : m_device(device)
        , m_size(std::max<qint64>(1, size))
        , m_control(control)
    {
        m_utf8 = skipMark();
        if (m_utf8) {
            // The text after the mark is decoded as a whole text would be, whose own mark is dropped too.
            skipMark();
            return;
        }
        m_utf8 = allUtf8();
        rewind();
    }

    // Appends the next piece of text; false at the end.
    bool next(QString& text)
    {
        QByteArray bytes;
        if (!nextBytes(bytes))
            return false;
        text += m_utf8 ? decodeUtf8(bytes) : decodeWindows1252(bytes);
        return true;
    }

    qint64 size() const { return m_size; }
    // How much of the file was read, in thousandths.
    int permille() const { return static_cast<int>(std::min(m_read, m_size) * 1000 / m_size); }

private:
    // The next block of bytes into m_block; a read error ends the bytes there, like the end of the file.
    bool readBlock()
    {
        m_block.resize(kReadBlock);
        const qint64 got = m_device.read(m_block.data(), kReadBlock);
        m_block.resize(std::max<qint64>(0, got));
        m_read += m_block.size();
        return !m_block.isEmpty();
    }

    bool skipMark()
    {
        if (m_device.peek(kUtf8Bom.size()) != kUtf8Bom)
            return false;
        m_read += m_device.skip(kUtf8Bom.size());
        return true;
    }

    void rewind()
    {
        m_device.seek(0);
        m_read = 0;
        m_carry.clear();
    }

    // The next bytes that decode alone: what was kept and the next block, less a sequence that the block after it
    // finishes (kept for then). False at the end.
    bool nextBytes(QByteArray& bytes)
    {
        bytes = std::exchange(m_carry, {});
        const bool more = readBlock();
        if (more)
            bytes += m_block;
        if (bytes.isEmpty())
            return false;
        const qsizetype cut = more ? completeUtf8(bytes) : bytes.size();
        m_carry = bytes.sliced(cut);
        bytes.truncate(cut);
        return true;
    }

    bool allUtf8()
    {
        for (QByteArray bytes; nextBytes(bytes);) {
            // A stop asked for now is honoured by the reading that follows at once.
            if (m_control && m_control->cancel.load(std::memory_order_relaxed))
                return true;
            QStringDecoder utf8 = decoder();
            // The decoding runs when its result becomes a string.
            const QString text = utf8.decode(bytes);
            if (utf8.hasError())
                return false;
        }
        return true;
    }

    static QStringDecoder decoder()
    {
        // Each piece alone; a mark inside the text is a character, not one to drop.
        return QStringDecoder(
            QStringConverter::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    }

    static QString decodeUtf8(QByteArrayView bytes)
    {
        QStringDecoder utf8 = decoder();
        return utf8.decode(bytes);
    }

    QIODevice& m_device;
    qint64 m_size;
    const CsvReadControl* m_control;
    qint64 m_read = 0;
    bool m_utf8 = false;
    QByteArray m_block;
    QByteArray m_carry;
};

// Reads the records after the header one at a time into entries, so that the file's records are never all held
// at once; the entries and their texts may take at most budget bytes.
class CsvReader
{
public:
    CsvReader(CsvScanner& scanner, const CsvPieces& pieces, qint64 budget, CsvReadControl* control)
        : m_scanner(scanner)
        , m_pieces(pieces)
        , m_budget(budget)
        , m_control(control)
    {
    }

    CsvContent read()
    {
        CsvRecord header;
        if (!m_scanner.next(header))
            return finish(missingNameColumn(1));
        if (isOwnHeader(header.fields))
            return readRows(&CsvReader::ownShapeRow);
        m_nameColumn = findColumn(header.fields, kNameHeaders);
        if (m_nameColumn < 0)
            return finish(missingNameColumn(header.line));
        m_shopColumn = findColumn(header.fields, kShopHeaders);
        m_priceColumn = findColumn(header.fields, kPriceHeaders);
        return readRows(&CsvReader::productTableRow);
    }

private:
    using RowReader = std::optional<CsvContent> (CsvReader::*)(const CsvRecord&);

    static CsvContent missingNameColumn(int line)
    {
        return failure(
            line, QStringLiteral("Keine Spalte für den Namen gefunden (erwartet z. B. „Name“ oder „Produkt“)."));
    }

    CsvContent readRows(RowReader row)
    {
        // Room for as many entries as the budget allows and the text can hold (a row takes at least two
        // characters), so that no list grows by copying; room never filled costs no memory.
        const auto room
            = static_cast<size_t>(std::min<qint64>(m_budget / qint64(sizeof(Entry)), m_pieces.size() / 2 + 1));
        for (std::vector<Entry>* list : { &m_content.stores, &m_content.products, &m_content.shopping })
            list->reserve(room);
        CsvRecord record;
        for (qint64 count = 0; m_scanner.next(record); ++count) {
            if ((count & 1023) == 0 && m_control) {
                if (m_control->cancel.load(std::memory_order_relaxed)) {
                    CsvContent cancelled;
                    cancelled.cancelled = true;
                    return cancelled;
                }
                m_control->permille.store(m_pieces.permille());
            }
            if (allEmpty(record.fields))
                continue;
            if (std::optional<CsvContent> failed = (this->*row)(record))
                return finish(std::move(*failed));
        }
        return finish(std::move(m_content));
    }

    // A quote that is never closed is the first thing said about a file, wherever it stands.
    CsvContent finish(CsvContent content)
    {
        if (!content.error.isEmpty()) {
            m_content = {};
            for (CsvRecord rest; m_scanner.next(rest);) { }
        }
        if (m_scanner.unclosedQuoteLine() > 0)
            return failure(
                m_scanner.unclosedQuoteLine(), QStringLiteral("Ein Anführungszeichen wird nicht geschlossen."));
        return content;
    }

    std::optional<CsvContent> add(std::vector<Entry>& list, Entry&& made, int line)
    {
        m_spent += qint64(sizeof(Entry)) + textCost(made.caption);
        // Shops and prices repeat from row to row: one string each, as when a list file is read.
        for (QString& text : made.subItems)
            m_spent += shared(text);
        if (m_spent > m_budget)
            return failure(line, QStringLiteral("Zu viele Einträge für eine Datei dieser Größe."));
        list.push_back(std::move(made));
        return std::nullopt;
    }

    // Replaces text by an equal one met before; what the text costs when it is new.
    qint64 shared(QString& text)
    {
        if (text.isEmpty())
            return 0;
        const auto known = m_pool.constFind(text);
        if (known != m_pool.cend()) {
            text = *known;
            return 0;
        }
        if (m_pool.size() < kMaxPooledTexts)
            m_pool.insert(text, text);
        return textCost(text) + 32; // and the pool's slot
    }

    static qint64 textCost(const QString& text)
    {
        // The room for the characters and their terminator after the string's 16-byte header, in the allocator's
        // 16-byte steps with its 8 bytes of bookkeeping: short texts cost about twice their characters.
        constexpr qint64 kStep = 16;
        return text.isEmpty() ? 0 : (2 * qint64(text.capacity()) + 2 + 16 + 8 + kStep - 1) / kStep * kStep;
    }

    std::optional<CsvContent> ownShapeRow(const CsvRecord& record)
    {
        const QStringList& f = record.fields;
        if (f.size() != kOwnFieldCount) {
            return failure(record.line,
                QStringLiteral("%1 %2 statt %3.")
                    .arg(f.size())
                    .arg(f.size() == 1 ? QStringLiteral("Feld") : QStringLiteral("Felder"))
                    .arg(kOwnFieldCount));
        }
        const QString quantity = unguarded(f[1]);
        const QString name = unguarded(f[2]);
        const QString shop = unguarded(f[3]);
        const QString price = unguarded(f[4]);
        if (sameName(f[0], kStoreList))
            return add(m_content.stores, entry(name), record.line);
        if (sameName(f[0], kProductList))
            return add(m_content.products, entry(name, { shop, price }), record.line);
        if (sameName(f[0], kShoppingList))
            return add(m_content.shopping, entry(quantity, { name, shop, price }), record.line);
        return failure(
            record.line, QStringLiteral("Unbekannte Liste „%1“ (erwartet: Laden, Produkt oder Einkauf).").arg(f[0]));
    }

    std::optional<CsvContent> productTableRow(const CsvRecord& record)
    {
        const QStringList& f = record.fields;
        return add(m_content.products,
            entry(cell(f, m_nameColumn), { cell(f, m_shopColumn), importedPriceText(cell(f, m_priceColumn)) }),
            record.line);
    }

    CsvScanner& m_scanner;
    const CsvPieces& m_pieces;
    qint64 m_budget;
    CsvReadControl* m_control;
    qint64 m_spent = 0;
    int m_nameColumn = -1;
    int m_shopColumn = -1;
    int m_priceColumn = -1;
    QHash<QString, QString> m_pool;
    CsvContent m_content;
};

} // namespace

QString csvField(const QString& text)
{
    const bool guarded = needsGuard(text);
    const bool quoted = guarded || text.contains(kCsvSeparator) || text.contains(u'"') || text.contains(u'\r')
        || text.contains(u'\n') || (!text.isEmpty() && (isBlank(text.front()) || isBlank(text.back())));
    if (!quoted)
        return text;
    QString field = text;
    field.replace(u'"', QStringLiteral("\"\""));
    if (guarded)
        field.prepend(kGuard);
    return QChar(u'"') + field + QChar(u'"');
}

QByteArray encodeCsv(const ListSet& lists)
{
    QString text = row({ kOwnHeader[0].toString(), kOwnHeader[1].toString(), kOwnHeader[2].toString(),
        kOwnHeader[3].toString(), kOwnHeader[4].toString() });
    const QString none;
    if (lists.stores) {
        for (int i = 0; i < lists.stores->count(); ++i)
            text += row({ QString::fromUtf16(kStoreList), none, lists.stores->caption(i), none, none });
    }
    if (lists.products) {
        const ListModel& p = *lists.products;
        for (int i = 0; i < p.count(); ++i)
            text += row({ QString::fromUtf16(kProductList), none, p.caption(i), p.subItem(i, 0), p.subItem(i, 1) });
    }
    if (lists.shopping) {
        const ListModel& s = *lists.shopping;
        for (int i = 0; i < s.count(); ++i)
            text += row(
                { QString::fromUtf16(kShoppingList), s.caption(i), s.subItem(i, 0), s.subItem(i, 1), s.subItem(i, 2) });
    }
    return kUtf8Bom.toByteArray() + text.toUtf8();
}

QString decodeCsvText(QByteArrayView data)
{
    if (data.startsWith(kUtf8Bom))
        return QString::fromUtf8(data.sliced(kUtf8Bom.size()));
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(data);
    return utf8.hasError() ? decodeWindows1252(data) : text;
}

QString importedPriceText(const QString& cell)
{
    static const QRegularExpression bareNumber(QStringLiteral("^[+-]?(?:[0-9]+(?:[.,][0-9]+)?|[.,][0-9]+)$"));
    // "1.000" or "2,500" from a spreadsheet may be a thousand with its digits grouped: kept as it stands rather
    // than read a thousand times too low.
    static const QRegularExpression digitGroup(QStringLiteral("^[+-]?[1-9][0-9]{0,2}[.,][0-9]{3}$"));
    const QString number = cell.trimmed();
    if (!bareNumber.match(number).hasMatch() || digitGroup.match(number).hasMatch())
        return cell;
    const std::optional<double> value = readNumber(number, decimalSeparator());
    return value ? priceText(*value) : cell;
}

CsvContent parseCsv(QByteArrayView data)
{
    return parseCsv(data, nullptr);
}

namespace {

// Reads the text of a device of size bytes into entries, a block at a time.
CsvContent parseCsvDevice(QIODevice& device, qint64 size, CsvReadControl* control)
{
    // The entries may take five times the file's size, less what the reading itself holds.
    const qint64 budget = std::max(kMemoryPerFileByte * size - kReadingMemory, kMinMemoryBudget);
    CsvPieces pieces(device, size, control);
    CsvScanner scanner([&pieces](QString& text) { return pieces.next(text); });
    scanner.takeFirstLine();
    return CsvReader(scanner, pieces, budget, control).read();
}

} // namespace

CsvContent parseCsv(QByteArrayView data, CsvReadControl* control)
{
    QByteArray bytes = QByteArray::fromRawData(data.data(), data.size());
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    return parseCsvDevice(device, data.size(), control);
}

CsvContent readCsvFile(const QString& path, CsvReadControl* control)
{
    QFile file(path);
    const QFileInfo info(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        CsvContent content;
        content.error = messageText(ReadResult::CannotOpen);
        content.cannotOpen = true;
        return content;
    }
    if (info.size() > kMaxCsvFileSize) {
        CsvContent content;
        content.error = QStringLiteral("Die Datei ist zu groß (mehr als %1 MB).\nEs wurde nichts importiert.")
                            .arg(kMaxCsvFileSize >> 20);
        return content;
    }
    return parseCsvDevice(file, info.size(), control);
}

std::optional<CsvFailure> exportCsvFile(const QString& path, const ListSet& lists, const QString& listPath)
{
    SaveFile file(path);
    file.setReadersLike(listPath);
    const WriteResult result = saveWholeFile(file, encodeCsv(lists));
    if (result == WriteResult::Ok)
        return std::nullopt;
    return CsvFailure { messageText(result), messageTitle(result) };
}

std::optional<CsvFailure> importCsvFile(const QString& path, const ListSet& lists)
{
    return applyCsvContent(readCsvFile(path), lists);
}

std::optional<CsvFailure> csvFailure(const CsvContent& content)
{
    if (content.cannotOpen)
        return CsvFailure { messageText(ReadResult::CannotOpen), messageTitle(ReadResult::CannotOpen) };
    if (!content.error.isEmpty())
        return CsvFailure { content.error, QString::fromUtf16(kImportTitle) };
    return std::nullopt;
}

std::optional<CsvFailure> applyCsvContent(CsvContent&& content, const ListSet& lists)
{
    if (auto failure = csvFailure(content))
        return failure;
    if (content.cancelled)
        return std::nullopt;
    if (lists.stores)
        lists.stores->appendAll(std::move(content.stores));
    if (lists.products)
        lists.products->appendAll(std::move(content.products));
    if (lists.shopping)
        lists.shopping->appendAll(std::move(content.shopping));
    return std::nullopt;
}

} // namespace korbana
