#include "Csv.h"

#include "Windows1252.h"

#include "lists/ListTexts.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <initializer_list>

namespace korbana {

namespace {

constexpr QChar kSeparator = u';';
// The byte-order mark of UTF-8, by which spreadsheets recognise it.
constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
constexpr char16_t kLineEnd[] = u"\r\n";
constexpr char16_t kImportTitle[] = u"CSV Import";
constexpr int kOwnFieldCount = 5;
// As for the list file: no file near this size is a list, and the entries read may take five times the file's
// size (at least a few megabytes for a small file).
constexpr qint64 kMaxCsvFileSize = qint64(512) << 20;
constexpr qint64 kMemoryPerFileByte = 5;
constexpr qint64 kMinMemoryBudget = qint64(32) << 20;
constexpr qsizetype kMaxPooledTexts = 1 << 16;
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
            line += kSeparator;
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

// Reads the records after the header one at a time into entries, so that the file's records are never all held
// at once; the entries and their texts may take at most budget bytes.
class CsvReader
{
public:
    CsvReader(CsvScanner& scanner, qint64 budget, CsvReadControl* control, qsizetype textSize)
        : m_scanner(scanner)
        , m_budget(budget)
        , m_control(control)
        , m_textSize(std::max<qsizetype>(1, textSize))
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
        const auto room = static_cast<size_t>(std::min<qint64>(m_budget / qint64(sizeof(Entry)), m_textSize / 2 + 1));
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
                m_control->permille.store(static_cast<int>(m_scanner.position() * 1000 / m_textSize));
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
        // The characters, the string's header and the allocator's share.
        return text.isEmpty() ? 0 : 2 * qint64(text.size()) + 32;
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
    qint64 m_budget;
    CsvReadControl* m_control;
    qsizetype m_textSize;
    qint64 m_spent = 0;
    int m_nameColumn = -1;
    int m_shopColumn = -1;
    int m_priceColumn = -1;
    QHash<QString, QString> m_pool;
    CsvContent m_content;
};

// Excel understands a first line "sep=;" that names the separator; such a line is no header.
bool takeSeparatorLine(QStringView& text, QChar& separator)
{
    constexpr QStringView kPrefix = u"sep=";
    const qsizetype end = kPrefix.size() + 1;
    if (!text.startsWith(kPrefix, Qt::CaseInsensitive) || text.size() < end
        || (text.size() > end && text[end] != u'\r' && text[end] != u'\n'))
        return false;
    separator = text[kPrefix.size()];
    if (separator == u'"' || separator == u'\r' || separator == u'\n')
        return false;
    const qsizetype lineEnd = text.mid(end).startsWith(u"\r\n") ? 2 : 1;
    text = text.mid(std::min(text.size(), end + lineEnd));
    return true;
}

} // namespace

QString csvField(const QString& text)
{
    const bool guarded = needsGuard(text);
    const bool quoted = guarded || text.contains(kSeparator) || text.contains(u'"') || text.contains(u'\r')
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

QChar detectCsvSeparator(QStringView text)
{
    constexpr std::array<QChar, 3> kCandidates = { u';', u'\t', u',' }; // preferred in this order on a tie
    std::array<int, 3> counts = { 0, 0, 0 };
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted) {
            if (c == u'\r' || c == u'\n')
                break;
            for (size_t k = 0; k < kCandidates.size(); ++k)
                counts[k] += c == kCandidates[k] ? 1 : 0;
        }
    }
    const auto most = std::max_element(counts.begin(), counts.end());
    return *most == 0 ? kSeparator : kCandidates[static_cast<size_t>(most - counts.begin())];
}

CsvScanner::CsvScanner(QStringView text, QChar separator, int firstLine)
    : m_text(text)
    , m_separator(separator)
    , m_line(firstLine)
{
}

bool CsvScanner::next(CsvRecord& record)
{
    const QStringView text = m_text;
    const qsizetype n = text.size();
    qsizetype& i = m_pos;
    while (i < n) {
        record.line = m_line;
        record.fields.clear();
        bool anyQuoted = false;
        for (;;) {
            QString field;
            if (i < n && text[i] == u'"') {
                anyQuoted = true;
                const int quoteLine = m_line;
                for (++i;; ++i) {
                    if (i >= n) {
                        m_unclosedQuoteLine = quoteLine;
                        return false;
                    }
                    const QChar c = text[i];
                    if (c == u'"') {
                        if (i + 1 < n && text[i + 1] == u'"') {
                            ++i;
                        } else {
                            ++i;
                            break;
                        }
                    } else if (c == u'\n' || (c == u'\r' && !(i + 1 < n && text[i + 1] == u'\n'))) {
                        ++m_line;
                    }
                    field += c;
                }
            }
            // An unquoted field, or whatever follows a closing quote, is taken as it stands.
            const qsizetype start = i;
            while (i < n && text[i] != m_separator && text[i] != u'\r' && text[i] != u'\n')
                ++i;
            field += text.sliced(start, i - start);
            record.fields.append(field);
            if (i < n && text[i] == m_separator) {
                ++i;
                continue;
            }
            break;
        }
        if (i < n) {
            i += text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n' ? 2 : 1;
            ++m_line;
        }
        const bool blankLine = !anyQuoted && record.fields.size() == 1 && record.fields.front().isEmpty();
        if (!blankLine)
            return true;
    }
    return false;
}

CsvSplit splitCsv(QStringView text, QChar separator, int firstLine)
{
    CsvSplit result;
    CsvScanner scanner(text, separator, firstLine);
    for (CsvRecord record; scanner.next(record);)
        result.records.push_back(std::move(record));
    if (scanner.unclosedQuoteLine() > 0) {
        result.records.clear();
        result.unclosedQuoteLine = scanner.unclosedQuoteLine();
    }
    return result;
}

QString importedPriceText(const QString& cell)
{
    static const QRegularExpression bareNumber(QStringLiteral("^[+-]?(?:[0-9]+(?:[.,][0-9]+)?|[.,][0-9]+)$"));
    QString number = cell.trimmed();
    if (!bareNumber.match(number).hasMatch())
        return cell;
    number.replace(u',', u'.');
    const std::optional<double> value = readNumber(number, u".");
    return value ? priceText(*value) : cell;
}

CsvContent parseCsv(QByteArrayView data)
{
    return parseCsv(data, nullptr);
}

CsvContent parseCsv(QByteArrayView data, CsvReadControl* control)
{
    return parseCsvText(decodeCsvText(data), data.size(), control);
}

CsvContent parseCsvText(const QString& text, qint64 fileSize, CsvReadControl* control)
{
    // The entries may take five times the file's size.
    const qint64 budget = std::max(kMemoryPerFileByte * fileSize, kMinMemoryBudget);
    QStringView body = text;
    QChar separator;
    const bool named = takeSeparatorLine(body, separator);
    CsvScanner scanner(body, named ? separator : detectCsvSeparator(body), named ? 2 : 1);
    return CsvReader(scanner, budget, control, body.size()).read();
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
    // A read error after a successful open ends the data there, like the end of the file. The bytes go once
    // they are text.
    return parseCsvText(decodeCsvText(file.readAll()), info.size(), control);
}

std::optional<CsvFailure> exportCsvFile(const QString& path, const ListSet& lists)
{
    SaveFile file(path);
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
