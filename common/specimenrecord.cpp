#include "specimenrecord.h"

namespace SpecimenRecord {

QStringList gridHeaders()
{
    return {QStringLiteral("编号"),       QStringLiteral("工程部位"), QStringLiteral("强度等级(C)"),
            QStringLiteral("配合比编号"), QStringLiteral("制作日期"), QStringLiteral("龄期（D）"),
            QStringLiteral("到期时间"),   QStringLiteral("养护方式"), QStringLiteral("工程量"),
            QStringLiteral("组数"),       QStringLiteral("备注"),     QStringLiteral("是否到期")};
}

QString summary(const QStringList &cells)
{
    return QStringLiteral("编号 %1，工程部位 %2，强度等级 %3，配合比编号 %4，到期时间 %5")
        .arg(cells.value(0), cells.value(column(WorksPart)), cells.value(column(StrengthGrade)),
             cells.value(column(MixNumber)), cells.value(DueTimeColumn));
}

const QList<ColumnWidth> &columnWidths()
{
    static const QList<ColumnWidth> widths{{column(WorksPart), 1300}, {column(StrengthGrade), 1400},
                                           {column(MixNumber), 1050}, {column(MakingDate), 2500},
                                           {column(DueTime), 2500},   {column(Remark), 1200}};
    return widths;
}

QString dueMarkText()
{
    return QStringLiteral("到期");
}

} // namespace SpecimenRecord
