#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One batch of specimens: eleven text fields, stored exactly as typed. In a record grid the
// fields sit in columns 1 to 11; column 0 holds the running number.
namespace SpecimenRecord {

enum Field {
    Number = -1,   // 编号, the row's running number: never stored, but a slot holds it
    WorksPart = 0, // 工程部位
    StrengthGrade, // 强度等级
    MixNumber,     // 配合比编号
    MakingDate,    // 制作日期
    Age,           // 龄期
    DueTime,       // 到期时间 "YYYY-MM-DD hh:mm"
    CuringMethod,  // 养护方式
    Quantity,      // 工程量
    Groups,        // 组数
    Remark,        // 备注
    DueMark,       // 是否到期, never stored
    FieldCount     // the fields of a line of a.bz, WorksPart to DueMark
};

// The grid column that holds a field.
constexpr int column(Field field)
{
    return int(field) + 1;
}
constexpr int DueTimeColumn = column(DueTime);
constexpr int DueMarkColumn = column(DueMark);
constexpr int ColumnCount = column(FieldCount); // the number and the eleven fields
// The main window's grid has one column more than a record needs, empty, after the due mark.
constexpr int MainGridColumnCount = ColumnCount + 1;

// What each field is called, in one table: its header in both record grids; its name, which is
// the key that holds it in a slot of vexa.ini and how messages name it; and its label on the
// entry form (empty for the number and the due mark, which nobody types).
struct FieldTexts
{
    QString header;
    QString name;
    QString label;
};
const FieldTexts &texts(Field field);

// Header texts of row 0 of both record grids, columns 0 to 11.
QStringList gridHeaders();

// How every message names a record, from its grid cells (columns 0 to 10): "编号 3，工程部位
// 三号楼基础，强度等级 C30，配合比编号 P-01，到期时间 2026-12-29 08:30". A list of records by
// their due minute puts the due time in front: "到期时间 2026-12-29 08:30：编号 3，…".
enum class DueTimeAt { End, Front };
QString summary(const QStringList &cells, DueTimeAt dueTime = DueTimeAt::End);

// A field as a window shows it. A text longer than any screen can show is cut, with its length
// named, so that no window spends seconds laying out a field of megabytes; the file and every
// edit keep the whole text.
inline constexpr qsizetype ShownChars = 1000;
QString shown(const QString &text);

// The columns of both record grids that have a width of their own, in twips; the others keep
// the grid's default.
struct ColumnWidth
{
    int column;
    int twips;
};
const QList<ColumnWidth> &columnWidths();

QString dueMarkText(); // "到期"

} // namespace SpecimenRecord
