#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace korbana {

// What korbana keeps beside the three lists (ticks, staples, the walk through each shop, versions): records in
// one block after the lists, which readers of the three lists never reach. docs/LISTFILE.md describes the block
// for other programs.
//
// A record is a kind and its fields. Records refer to entries by their texts, never by row, so that they survive
// sorting, merging and another program's edits; a kind that this version does not know is kept as it was read and
// written back. A feature that wants a kind of its own picks a new lower-case name, reads it with records(kind)
// and replaces all of it with setRecords(kind, ...); the block takes care of the text form.
class ListExtras
{
public:
    // The form of the block; a block of a newer form is not read (and not written back).
    static constexpr int kVersion = 1;

    struct Record
    {
        QString kind;
        QStringList fields;

        bool operator==(const Record& other) const { return kind == other.kind && fields == other.fields; }
        bool operator!=(const Record& other) const { return !(*this == other); }
    };

    enum class State {
        Absent, // the file ends with its lists
        Read,
        Damaged, // the block was skipped whole
        Newer, // written by a later korbana in a form this one does not know: skipped whole
    };

    bool isEmpty() const { return m_records.isEmpty(); }
    const QList<Record>& allRecords() const { return m_records; }
    // The records of one kind, in the order of the block.
    QList<Record> records(QStringView kind) const;
    // Replaces every record of the kind by these (their own kind is set to it); they take the place of the first
    // one of the kind, or go to the end.
    void setRecords(const QString& kind, const QList<Record>& records);
    void clear() { m_records.clear(); }

    bool operator==(const ListExtras& other) const { return m_records == other.m_records; }
    bool operator!=(const ListExtras& other) const { return !(*this == other); }

    // Whether the line opens a block, of any version.
    static bool isMarker(QStringView line);
    // Reads the block's lines, the marker first. A block that is not whole and sound gives no records at all.
    static ListExtras parse(const QStringList& lines, State* state = nullptr);
    // The block's lines, marker and end line included; none when there are no records, so that a file without
    // them stays as it was.
    QStringList serialize() const;

    // Whether a kind's name is one that the block can hold: lower-case letters, digits and '-'.
    static bool isValidKind(QStringView kind);

private:
    QList<Record> m_records;
};

} // namespace korbana
