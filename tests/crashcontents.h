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
    QStringList fields =
        savedRecord(part + QString::number(number), due, QStringLiteral("第 %1 批").arg(number));
    fields[SpecimenRecord::MixNumber] = QStringLiteral("P-%1").arg(number);
    return fields;
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
    return slotRecord(QStringLiteral("1"), QStringLiteral("一号楼梁"), QStringLiteral("加急"));
}

inline QStringList recordB()
{
    return {QStringLiteral("27"),
            QStringLiteral("二号楼板，东侧"),
            QStringLiteral("C45"),
            QStringLiteral("P-220"),
            QStringLiteral("2026-12-3 09:05"),
            QStringLiteral("3"),
            QStringLiteral("同级养护"),
            QStringLiteral("2026-12-06 09:05"),
            QStringLiteral("8"),
            QStringLiteral("2"),
            QString()};
}

// The journal key of the writer's nth reminder, all of them due in one month.
inline QString journalKey(qsizetype n)
{
    return record(QStringLiteral("批"), int(n), QStringLiteral("2026-12-06 09:05")).join(u',');
}

} // namespace CrashContents
