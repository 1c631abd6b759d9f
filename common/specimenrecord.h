#pragma once

#include <QList>
#include <QStringList>

// One batch of specimens: eleven text fields, stored exactly as typed. In a record grid the
// fields sit in columns 1 to 11; column 0 holds the running number.
namespace SpecimenRecord {

enum Field {
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
    FieldCount
};

// The grid column that holds a field.
constexpr int column(Field field)
{
    return int(field) + 1;
}
constexpr int DueTimeColumn = column(DueTime);
constexpr int DueMarkColumn = column(DueMark);

// Header texts of row 0 of both record grids, columns 0 to 11.
QStringList gridHeaders();

// How every message names a record, from its grid cells (columns 0 to 10): "编号 3，工程部位
// 三号楼基础，强度等级 C30，配合比编号 P-01，到期时间 2026-12-29 08:30".
QString summary(const QStringList &cells);

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
