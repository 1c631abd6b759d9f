#include "specimenrecord.h"

namespace SpecimenRecord {

const FieldTexts &texts(Field field)
{
    // By grid column: the number first.
    static const FieldTexts table[ColumnCount]{
        {QStringLiteral("编号"), QStringLiteral("编号"), {}},
        {QStringLiteral("工程部位"), QStringLiteral("工程部位"), QStringLiteral("工程部位：")},
        {QStringLiteral("强度等级(C)"), QStringLiteral("强度等级"), QStringLiteral("强度等级：")},
        {QStringLiteral("配合比编号"), QStringLiteral("配合比编号"),
         QStringLiteral("配合比编号：")},
        {QStringLiteral("制作日期"), QStringLiteral("制作日期"), QStringLiteral("制作日期：")},
        {QStringLiteral("龄期（D）"), QStringLiteral("龄期"), QStringLiteral("龄期（D）：")},
        {QStringLiteral("到期时间"), QStringLiteral("到期时间"), QStringLiteral("到期时间：")},
        {QStringLiteral("养护方式"), QStringLiteral("养护方式"), QStringLiteral("养护方式：")},
        {QStringLiteral("工程量"), QStringLiteral("工程量"), QStringLiteral("工程量：")},
        {QStringLiteral("组数"), QStringLiteral("组数"), QStringLiteral("组数：")},
        {QStringLiteral("备注"), QStringLiteral("备注"), QStringLiteral("备注：")},
        {QStringLiteral("是否到期"), QStringLiteral("是否到期"), {}}};
    return table[column(field)];
}

QStringList gridHeaders()
{
    QStringList headers;
    for (int field = Number; field < FieldCount; ++field)
        headers << texts(Field(field)).header;
    return headers;
}

QString shown(const QString &text)
{
    if (text.size() <= ShownChars)
        return text;
    const qsizetype cut = text.at(ShownChars - 1).isHighSurrogate() ? ShownChars - 1 : ShownChars;
    return text.left(cut) + QStringLiteral("…（共 %1 字）").arg(text.size());
}

QString summary(const QStringList &cells, DueTimeAt dueTime)
{
    const auto mention = [&cells](Field field) {
        return texts(field).name + QLatin1Char(' ') + shown(cells.value(column(field)));
    };
    QStringList parts;
    for (Field field : {Number, WorksPart, StrengthGrade, MixNumber})
        parts << mention(field);
    if (dueTime == DueTimeAt::Front)
        return mention(DueTime) + QStringLiteral("：") + parts.join(QStringLiteral("，"));
    parts << mention(DueTime);
    return parts.join(QStringLiteral("，"));
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
