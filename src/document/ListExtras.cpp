#include "ListExtras.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace korbana {

namespace {

constexpr QStringView kMarker = u"#korbana-extras ";
constexpr QStringView kEnd = u"#end ";
constexpr QChar kSeparator = u'\t';

// A field may hold any character; the ones that would end the field, the line or the file are escaped: each
// as a backslash and the letter beside it here.
struct Escape
{
    char16_t character;
    char16_t letter;
};
constexpr Escape kEscapes[] = { { u'\\', u'\\' }, { u'\t', u't' }, { u'\r', u'r' }, { u'\n', u'n' }, { 0x1A, u'z' } };

QString escaped(const QString& field)
{
    QString out;
    out.reserve(field.size());
    for (const QChar c : field) {
        const auto* escape = std::find_if(
            std::begin(kEscapes), std::end(kEscapes), [c](const Escape& e) { return e.character == c.unicode(); });
        if (escape != std::end(kEscapes))
            out += QChar(u'\\') + QChar(escape->letter);
        else
            out += c;
    }
    return out;
}

std::optional<QString> unescaped(QStringView field)
{
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != u'\\') {
            out += field[i];
            continue;
        }
        if (++i == field.size())
            return std::nullopt;
        const char16_t letter = field[i].unicode();
        const auto* escape = std::find_if(
            std::begin(kEscapes), std::end(kEscapes), [letter](const Escape& e) { return e.letter == letter; });
        if (escape == std::end(kEscapes))
            return std::nullopt;
        out += QChar(escape->character);
    }
    return out;
}

// Plain decimal digits, nothing else; nullopt otherwise or when too large for an int.
std::optional<int> plainNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

std::optional<ListExtras::Record> parseRecord(QStringView line)
{
    const QList<QStringView> parts = line.split(kSeparator);
    if (!ListExtras::isValidKind(parts.first()))
        return std::nullopt;
    ListExtras::Record record { parts.first().toString(), {} };
    record.fields.reserve(parts.size() - 1);
    for (qsizetype i = 1; i < parts.size(); ++i) {
        std::optional<QString> field = unescaped(parts[i]);
        if (!field)
            return std::nullopt;
        record.fields.append(std::move(*field));
    }
    return record;
}

} // namespace

QList<ListExtras::Record> ListExtras::records(QStringView kind) const
{
    QList<Record> result;
    for (const Record& record : m_records) {
        if (record.kind == kind)
            result.append(record);
    }
    return result;
}

void ListExtras::setRecords(const QString& kind, const QList<Record>& records)
{
    Q_ASSERT(isValidKind(kind));
    QList<Record> kept;
    kept.reserve(m_records.size() + records.size());
    bool placed = false;
    const auto place = [&] {
        for (const Record& record : records)
            kept.append({ kind, record.fields });
        placed = true;
    };
    for (Record& record : m_records) {
        if (record.kind != kind)
            kept.append(std::move(record));
        else if (!placed)
            place();
    }
    if (!placed)
        place();
    m_records = std::move(kept);
}

bool ListExtras::isValidKind(QStringView kind)
{
    if (kind.isEmpty())
        return false;
    for (const QChar c : kind) {
        if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-'))
            return false;
    }
    return true;
}

bool ListExtras::isMarker(QStringView line)
{
    return line.startsWith(kMarker);
}

ListExtras ListExtras::parse(const QStringList& lines, State* state)
{
    State dummy = State::Absent;
    State& result = state ? *state : dummy;
    if (lines.isEmpty() || !isMarker(lines.first())) {
        result = State::Absent;
        return {};
    }
    const std::optional<int> version = plainNumber(QStringView(lines.first()).mid(kMarker.size()));
    if (!version || *version < 1) {
        result = State::Damaged;
        return {};
    }
    if (*version > kVersion) {
        result = State::Newer;
        return {};
    }
    // The end line counts the records: a block cut short, or with lines lost, is told by it.
    result = State::Damaged;
    ListExtras extras;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.startsWith(kEnd)) {
            const std::optional<int> count = plainNumber(QStringView(line).mid(kEnd.size()));
            if (!count || *count != extras.m_records.size() || i + 1 != lines.size())
                return {};
            result = State::Read;
            return extras;
        }
        std::optional<Record> record = parseRecord(line);
        if (!record)
            return {};
        extras.m_records.append(std::move(*record));
    }
    return {};
}

QStringList ListExtras::serialize() const
{
    if (m_records.isEmpty())
        return {};
    QStringList lines;
    lines.reserve(m_records.size() + 2);
    lines.append(kMarker + QString::number(kVersion));
    for (const Record& record : m_records) {
        QString line = record.kind;
        for (const QString& field : record.fields)
            line += kSeparator + escaped(field);
        lines.append(std::move(line));
    }
    lines.append(kEnd + QString::number(m_records.size()));
    return lines;
}

} // namespace korbana
