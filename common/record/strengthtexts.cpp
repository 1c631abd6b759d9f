#include "strengthtexts.h"

namespace StrengthText {

QString specimen(int group, int specimen)
{
    return QStringLiteral("第 %1 组第 %2 个试件").arg(group).arg(specimen);
}

QString factorBox()
{
    return QStringLiteral("尺寸换算系数");
}

QString load()
{
    return QStringLiteral("荷载");
}

QString strength()
{
    return QStringLiteral("强度");
}

QString missing(const QString &box)
{
    return QStringLiteral("%1未填写。").arg(box);
}

QString notANumber(const QString &box, const QString &typed)
{
    return QStringLiteral("%1：“%2”不是数字。").arg(box, typed);
}

QString zero(const QString &box, const QString &quantity)
{
    return QStringLiteral("%1：%2不能为 0。").arg(box, quantity);
}

QString negative(const QString &box, const QString &typed)
{
    return QStringLiteral("%1：“%2”是负数。").arg(box, typed);
}

QString tooManyDecimals(const QString &box, const QString &typed, int most)
{
    return QStringLiteral("%1：“%2”的小数超过 %3 位。").arg(box, typed).arg(most);
}

QString tooLarge(const QString &box, const QString &typed)
{
    return QStringLiteral("%1：“%2”过大。").arg(box, typed);
}

QString factorOutOfRange(const QString &typed)
{
    return QStringLiteral("尺寸换算系数“%1”应大于 0 且不大于 2。").arg(typed);
}

QString edgeMissing()
{
    return QStringLiteral("其他尺寸的试件按荷载计算时，须填写试件边长。");
}

QString notSaved()
{
    return QStringLiteral("试验结果未保存。");
}

QString unusuallyHigh(const QString &box, const QString &strength)
{
    return QStringLiteral("%1：强度 %2 MPa，超过 150 MPa。").arg(box, strength);
}

QString saveUnusuallyHigh(const QString &list)
{
    return QStringLiteral("%1\n请核对所填的数值和单位。仍要保存吗？").arg(list);
}

QString mean()
{
    return QStringLiteral("取三个试件的平均值");
}

QString largest()
{
    return QStringLiteral("最大值");
}

QString smallest()
{
    return QStringLiteral("最小值");
}

QString middleTaken(const QString &extreme, const QString &value, const QString &middle)
{
    return QStringLiteral("%1 %2 与中间值 %3 相差超过中间值的 15%，取中间值")
        .arg(extreme, value, middle);
}

QString invalidBoth(const QString &largest, const QString &smallest, const QString &middle)
{
    return QStringLiteral("最大值 %1 和最小值 %2 与中间值 %3 相差均超过中间值的 15%，该组无效")
        .arg(largest, smallest, middle);
}

QString factorApplied(const QString &value, const QString &factor)
{
    return QStringLiteral("，%1 MPa 乘以尺寸换算系数 %2").arg(value, factor);
}

QString factorNeededHighGrade()
{
    return QStringLiteral("C60 及以上的非标准试件须填写尺寸换算系数，填写前不计算");
}

QString factorNeededUnreadableGrade()
{
    return QStringLiteral("强度等级无法识别，非标准试件须填写尺寸换算系数，填写前不计算");
}

QString factorNeededOtherSize()
{
    return QStringLiteral("其他尺寸的试件须填写尺寸换算系数，填写前不计算");
}

QString invalid()
{
    return QStringLiteral("无效");
}

QString notComputed()
{
    return QStringLiteral("未计算（须填写换算系数）");
}

QString incomplete()
{
    return QStringLiteral("数据不全");
}

QString resultTip(const QString &result, bool belowGrade)
{
    return QStringLiteral("试验结果：%1").arg(result) +
           (belowGrade ? QStringLiteral("\n低于设计强度") : QString());
}

QString noFurtherTest()
{
    return QStringLiteral("可不再试验（设计龄期已合格）");
}

QString testOnTime()
{
    return QStringLiteral("须按期试验");
}

QString belowGrade(int batches)
{
    return QStringLiteral("低于设计强度 %1 批").arg(batches);
}

} // namespace StrengthText
