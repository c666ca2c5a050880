#include "Csv.h"

#include "Windows1252.h"

#include "lists/ListTexts.h"

#include <QFile>
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

CsvContent readOwnShape(const std::vector<CsvRecord>& records)
{
    CsvContent content;
    for (size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        const QStringList& f = record.fields;
        if (allEmpty(f))
            continue;
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
        if (sameName(f[0], kStoreList)) {
            content.stores.push_back(entry(name));
        } else if (sameName(f[0], kProductList)) {
            content.products.push_back(entry(name, { shop, price }));
        } else if (sameName(f[0], kShoppingList)) {
            content.shopping.push_back(entry(quantity, { name, shop, price }));
        } else {
            return failure(record.line,
                QStringLiteral("Unbekannte Liste „%1“ (erwartet: Laden, Produkt oder Einkauf).").arg(f[0]));
        }
    }
    return content;
}

CsvContent readProductTable(const std::vector<CsvRecord>& records)
{
    const CsvRecord& header = records.front();
    const int nameColumn = findColumn(header.fields, kNameHeaders);
    if (nameColumn < 0) {
        return failure(
            header.line, QStringLiteral("Keine Spalte für den Namen gefunden (erwartet z. B. „Name“ oder „Produkt“)."));
    }
    const int shopColumn = findColumn(header.fields, kShopHeaders);
    const int priceColumn = findColumn(header.fields, kPriceHeaders);

    CsvContent content;
    for (size_t r = 1; r < records.size(); ++r) {
        const QStringList& f = records[r].fields;
        if (allEmpty(f))
            continue;
        content.products.push_back(
            entry(cell(f, nameColumn), { cell(f, shopColumn), importedPriceText(cell(f, priceColumn)) }));
    }
    return content;
}

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

CsvSplit splitCsv(QStringView text, QChar separator, int firstLine)
{
    CsvSplit result;
    const qsizetype n = text.size();
    qsizetype i = 0;
    int line = firstLine;
    while (i < n) {
        CsvRecord record;
        record.line = line;
        bool anyQuoted = false;
        for (;;) {
            QString field;
            if (i < n && text[i] == u'"') {
                anyQuoted = true;
                const int quoteLine = line;
                for (++i;; ++i) {
                    if (i >= n) {
                        result.records.clear();
                        result.unclosedQuoteLine = quoteLine;
                        return result;
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
                        ++line;
                    }
                    field += c;
                }
            }
            // An unquoted field, or whatever follows a closing quote, is taken as it stands.
            const qsizetype start = i;
            while (i < n && text[i] != separator && text[i] != u'\r' && text[i] != u'\n')
                ++i;
            field += text.sliced(start, i - start);
            record.fields.append(field);
            if (i < n && text[i] == separator) {
                ++i;
                continue;
            }
            break;
        }
        if (i < n) {
            i += text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n' ? 2 : 1;
            ++line;
        }
        const bool blankLine = !anyQuoted && record.fields.size() == 1 && record.fields.front().isEmpty();
        if (!blankLine)
            result.records.push_back(std::move(record));
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
    const QString text = decodeCsvText(data);
    QStringView body = text;
    QChar separator;
    const CsvSplit split
        = takeSeparatorLine(body, separator) ? splitCsv(body, separator, 2) : splitCsv(body, detectCsvSeparator(body));
    if (split.unclosedQuoteLine > 0)
        return failure(split.unclosedQuoteLine, QStringLiteral("Ein Anführungszeichen wird nicht geschlossen."));
    if (split.records.empty())
        return readProductTable({ CsvRecord { 1, {} } });
    return isOwnHeader(split.records.front().fields) ? readOwnShape(split.records) : readProductTable(split.records);
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
    const std::optional<QByteArray> data = readWholeFile(path);
    if (!data)
        return CsvFailure { messageText(ReadResult::CannotOpen), messageTitle(ReadResult::CannotOpen) };
    CsvContent content = parseCsv(*data);
    if (!content.error.isEmpty())
        return CsvFailure { content.error, QString::fromUtf16(kImportTitle) };
    if (lists.stores)
        lists.stores->appendAll(std::move(content.stores));
    if (lists.products)
        lists.products->appendAll(std::move(content.products));
    if (lists.shopping)
        lists.shopping->appendAll(std::move(content.shopping));
    return std::nullopt;
}

} // namespace korbana
