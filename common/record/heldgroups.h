#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

class PackedRow;

// What to do with the groups of a casting held for ages after the design age (28 days unless the
// lab sets another). A casting is the records of one 工程部位, 强度等级, 配合比编号 and 制作日期,
// one record an age. Once the design age's result reached the grade in every group, the later
// ages need no test; below the grade or with an invalid group they are tested as planned; without
// a design-age result there is no advice. Advice only: nothing is deleted or hidden.
namespace HeldGroups {

constexpr int DefaultDesignAge = 28;

enum class Advice : quint8 { None, NoFurtherTest, TestOnTime };
QString text(Advice advice); // empty for None

// One record as the advice reads it: views of its stored fields.
struct Record
{
    QStringView part, grade, mix, making, age;
    // Views of a row's stored fields in their order (SpecimenRecord), as the schedule holds them.
    static Record of(const PackedRow &fields);
};

// What a design-age result says of its casting: NoFurtherTest when every group with a value is
// valid and reached the grade, TestOnTime when one is invalid or below it, None when the result
// holds no complete value or the grade cannot be read.
Advice verdict(QStringView result, QStringView grade);

// The advice for each of count records: the later ages of a casting whose design-age records
// have a result; None for every other record. recordOf(i) gives record i, asked as needed rather
// than held for every record (the schedule holds years of them); resultOf(i) its latest result
// text, empty when it has none, asked only of design-age records of castings with later ages.
QList<Advice> advise(qsizetype count, const std::function<Record(qsizetype)> &recordOf,
                     const std::function<QString(qsizetype)> &resultOf,
                     int designAge = DefaultDesignAge);

} // namespace HeldGroups
