#pragma once

#include "specimenrecord.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The shape of a line of a.bz, kept here alone. A record's line is its eleven fields joined by
// "," with no quoting: the ten stored fields, then the due mark, which is never stored and so
// always empty. A table save ends with the line of a record whose fields are all empty, ten
// commas. A line of another width (a comma typed into a field long ago, a hand edit) is none that
// the save makes: it is shown as far as it goes and written back exactly as it was read.
namespace RecordLine {

constexpr char16_t Separator = u',';
constexpr int Width = SpecimenRecord::FieldCount; // the fields of a record's line
constexpr int Stored = SpecimenRecord::DueMark;   // those of them that are ever filled
// The longest text one field takes from the entry form (its boxes' old limit). A longer text is
// refused whole, never cut.
constexpr int LongestField = 32767;

// How many of a line's fields a loader shows in grid columns 1 to lastColumn: all but the last
// (a record line's due mark).
constexpr qsizetype shownFields(qsizetype fieldCount, int lastColumn)
{
    return fieldCount - 1 < lastColumn ? fieldCount - 1 : lastColumn;
}

// A line read as fields, when it must be written back as it was read because its width is not a
// record's; an empty list for a record's line, which its grid row gives back whole.
QStringList keptAsRead(const QList<QStringView> &fields);

// Appends the fields of the line of the record in row of a record grid: the stored fields from
// their columns (SpecimenRecord::column), then the empty due mark. The views are the grid's.
template <typename Grid>
void appendFieldsOfRow(const Grid &grid, int row, QList<QStringView> &fields)
{
    for (int field = 0; field < Stored; ++field)
        fields.append(grid.textView(row, SpecimenRecord::column(SpecimenRecord::Field(field))));
    fields.append(QStringView());
}

// Appends the fields of the closing line of a table save.
void appendClosing(QList<QStringView> &fields);

QString text(const QList<QStringView> &fields);

// The text of the line of the record in row of a record grid: how a marked row is found in the
// file, and how a record is known again after a reload.
template <typename Grid> QString textOfRow(const Grid &grid, int row)
{
    QList<QStringView> fields;
    appendFieldsOfRow(grid, row, fields);
    return text(fields);
}

// One field of a line in code page 936 bytes, or nothing when the line has too few fields. No
// byte of a two-byte character is a comma (trail bytes are 0x40 and above), so the bytes are
// split as they stand, without decoding.
std::optional<QByteArrayView> fieldIn(QByteArrayView line, SpecimenRecord::Field field);

} // namespace RecordLine
