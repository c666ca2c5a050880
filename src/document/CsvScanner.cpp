// Reading CSV text: the separator a file uses, Excel's "sep=" line, and the records, quoted fields and line
// breaks inside quotes included.
#include "Csv.h"

#include <algorithm>
#include <array>

namespace korbana {

namespace {

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

// Where the first line ends (a line break outside quotes), or -1 while it goes on.
qsizetype firstLineEnd(QStringView text)
{
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'"')
            quoted = !quoted;
        else if (!quoted && (text[i] == u'\r' || text[i] == u'\n'))
            return i;
    }
    return -1;
}

} // namespace

QChar detectCsvSeparator(QStringView text)
{
    constexpr std::array<QChar, 3> kCandidates = { u';', u'\t', u',' }; // preferred in this order on a tie
    std::array<int, 3> counts = { 0, 0, 0 };
    const qsizetype end = firstLineEnd(text);
    bool quoted = false;
    for (const QChar c : end < 0 ? text : text.first(end)) {
        if (c == u'"')
            quoted = !quoted;
        for (size_t k = 0; k < kCandidates.size() && !quoted; ++k)
            counts[k] += c == kCandidates[k] ? 1 : 0;
    }
    const auto most = std::max_element(counts.begin(), counts.end());
    return *most == 0 ? kCsvSeparator : kCandidates[static_cast<size_t>(most - counts.begin())];
}

CsvScanner::CsvScanner(QStringView text, QChar separator, int firstLine)
    : m_text(text)
    , m_separator(separator)
    , m_line(firstLine)
{
}

CsvScanner::CsvScanner(std::function<bool(QString&)> more, int firstLine)
    : m_more(std::move(more))
    , m_complete(false)
    , m_separator(kCsvSeparator)
    , m_line(firstLine)
{
}

void CsvScanner::takeFirstLine()
{
    // The whole first line, and the character after it (a line feed after a carriage return belongs to it).
    for (qsizetype end = -1; !m_complete && (end < 0 || end + 1 >= m_text.size() - m_pos);
         end = firstLineEnd(m_text.sliced(m_pos))) {
        m_recordStart = m_pos;
        readMore();
    }
    QStringView body = m_text.sliced(m_pos);
    QChar separator;
    if (takeSeparatorLine(body, separator)) {
        m_separator = separator;
        m_pos = m_text.size() - body.size();
        ++m_line;
    } else {
        m_separator = detectCsvSeparator(body);
    }
}

bool CsvScanner::readMore()
{
    if (m_complete)
        return false;
    m_buffer.remove(0, m_recordStart);
    m_pos -= m_recordStart;
    m_recordStart = 0;
    // At least doubling what is held, so that a record longer than a piece is read again only a few times.
    const qsizetype wanted = 2 * m_buffer.size() + 1;
    const qsizetype before = m_buffer.size();
    while (m_buffer.size() < wanted && !m_complete)
        m_complete = !m_more(m_buffer);
    m_text = m_buffer;
    return m_buffer.size() > before;
}

bool CsvScanner::next(CsvRecord& record)
{
    for (;;) {
        const Step step = scan(record);
        if (step != Step::NeedMore)
            return step == Step::Record;
        // The record goes on in text not yet read: read it again with that text.
        m_pos = m_recordStart;
        m_line = m_recordLine;
        readMore();
    }
}

CsvScanner::Step CsvScanner::scan(CsvRecord& record)
{
    const QStringView text = m_text;
    const qsizetype n = text.size();
    qsizetype& i = m_pos;
    // Whether the character after i is still to be read, so that what stands at i cannot be told yet.
    const auto beforeUnread = [&] { return !m_complete && i + 1 >= n; };
    while (i < n) {
        m_recordStart = i;
        m_recordLine = m_line;
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
                        if (!m_complete)
                            return Step::NeedMore;
                        m_unclosedQuoteLine = quoteLine;
                        return Step::End;
                    }
                    const QChar c = text[i];
                    if ((c == u'"' || c == u'\r') && beforeUnread())
                        return Step::NeedMore;
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
            if (i >= n && !m_complete)
                return Step::NeedMore;
            field += text.sliced(start, i - start);
            record.fields.append(field);
            if (i < n && text[i] == m_separator) {
                ++i;
                continue;
            }
            break;
        }
        if (i < n) {
            if (text[i] == u'\r' && beforeUnread())
                return Step::NeedMore;
            i += text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n' ? 2 : 1;
            ++m_line;
        }
        const bool blankLine = !anyQuoted && record.fields.size() == 1 && record.fields.front().isEmpty();
        if (!blankLine)
            return Step::Record;
    }
    if (!m_complete) {
        m_recordStart = i;
        m_recordLine = m_line;
        return Step::NeedMore;
    }
    return Step::End;
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

} // namespace korbana
