#pragma once

#include "specimenrecord.h"
#include "testfiles.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the crash writer saves, known to the test as well. The two tables differ in every line and
// in length, so that any mix of the two, or a cut-off file, is told apart from both.
namespace CrashContents {

inline QStringList record(const QString &part, int number, const QString &due)
{
    return sample(part + QString::number(number), due)
        .with(SpecimenRecord::MixNumber, QStringLiteral("P-%1").arg(number))
        .with(SpecimenRecord::Remark, QStringLiteral("第 %1 批").arg(number))
        .fields();
}

// As the entry form saves: the records, then the spare row's line of ten commas.
inline QList<QStringList> table(const QString &part, int count, const QString &due)
{
    QList<QStringList> rows;
    for (int i = 1; i <= count; ++i)
        rows << record(part, i, due);
    rows << QStringList(11);
    return rows;
}

inline QList<QStringList> tableA()
{
    return table(QStringLiteral("一号楼梁"), 3000, QStringLiteral("2026-12-29 08:30"));
}

inline QList<QStringList> tableB()
{
    return table(QStringLiteral("二号楼板"), 2000, QStringLiteral("2026-12-06 09:05"));
}

inline QString slot()
{
    return QStringLiteral("1|1");
}

// The eleven values the dispatcher writes (number first, due time eighth).
inline QStringList recordA()
{
    return sample(QStringLiteral("一号楼梁"))
        .with(SpecimenRecord::Number, QStringLiteral("1"))
        .with(SpecimenRecord::Remark, QStringLiteral("加急"))
        .slotValues();
}

inline QStringList recordB()
{
    using namespace SpecimenRecord;
    return sample(QStringLiteral("二号楼板，东侧"), QStringLiteral("2026-12-06 09:05"))
        .with(Number, QStringLiteral("27"))
        .with(StrengthGrade, QStringLiteral("C45"))
        .with(MixNumber, QStringLiteral("P-220"))
        .with(MakingDate, QStringLiteral("2026-12-3 09:05"))
        .with(Age, QStringLiteral("3"))
        .with(CuringMethod, QStringLiteral("同级养护"))
        .with(Quantity, QStringLiteral("8"))
        .with(Groups, QStringLiteral("2"))
        .slotValues();
}

// The journal key of the writer's nth reminder, all of them due in one month.
inline QString journalKey(qsizetype n)
{
    return record(QStringLiteral("批"), int(n), QStringLiteral("2026-12-06 09:05")).join(u',');
}

} // namespace CrashContents
