#include "recordtexts.h"

namespace RecordText {

namespace {
QString dueTimeWords()
{
    return QStringLiteral("“2026-12-08 07:37”这样的年-月-日 时:分");
}
} // namespace

QString ageMissing()
{
    return QStringLiteral("龄期未填写，无法进行添加");
}

QString makingHour()
{
    return QStringLiteral("制作时间的小时");
}

QString makingMinute()
{
    return QStringLiteral("制作时间的分钟");
}

QString further(const QString &unit)
{
    return QStringLiteral("龄期的附加") + unit;
}

QString hours()
{
    return QStringLiteral("小时");
}

QString minutes()
{
    return QStringLiteral("分钟");
}

QString boxMissing(const QString &box)
{
    return QStringLiteral("%1未填写。").arg(box);
}

QString notANumber(const QString &box, const QString &text)
{
    return QStringLiteral("%1“%2”不是数字：这一栏只能填数字（可带小数点和正负号）。")
        .arg(box, text);
}

QString outsideRange(const QString &box, const QString &text, long long high)
{
    return QStringLiteral("%1“%2”无效：须在 0 到 %3 之间。").arg(box, text).arg(high);
}

QString negative(const QString &box, const QString &text)
{
    return QStringLiteral("%1“%2”不能为负数。").arg(box, text);
}

QString dueNotComputed()
{
    return QStringLiteral("未计算到期时间。");
}

QString ageBelowOneDay(const QString &age)
{
    return QStringLiteral("龄期“%1”不足 1 天：龄期须是至少为 1 的天数。").arg(age) +
           dueNotComputed();
}

QString makingDateInvalid()
{
    return QStringLiteral("制作日期无效，") + dueNotComputed();
}

QString dueOutOfRange()
{
    return QStringLiteral("到期时间超出可计算的范围（只能在 1000 年到 9999 年之间）。"
                          "未计算到期时间，请检查龄期和附加的小时分钟。");
}

QString semicolonFields()
{
    return QStringLiteral("字段以分号“;”分隔（电子表格另存时换了分隔符）；本程序的记录以"
                          "逗号“,”分隔。");
}

QString quotedFields(qsizetype fields, qsizetype width)
{
    return QStringLiteral("有带引号的字段（电子表格另存时加的），字段数成了 %1 个；本程序"
                          "的记录是 %2 个以逗号“,”分隔、不带引号的字段。")
        .arg(fields)
        .arg(width);
}

QString fieldCount(qsizetype fields, qsizetype width)
{
    return QStringLiteral("有 %1 个以逗号“,”分隔的字段，本程序的记录有 %2 个（最后一个为空）。")
        .arg(fields)
        .arg(width);
}

QString noDueTime()
{
    return QStringLiteral("没有到期时间，这条记录不会提醒。");
}

QString notGbk(qsizetype column)
{
    return QStringLiteral("从第 %1 个字节起有不是 GBK 编码的内容（显示为“�”或缺字）；这条记录"
                          "会照常提醒，但无法保存。请用文本编辑器按 GBK 编码修正或删去。")
        .arg(column);
}

QString spreadsheetDueTime(const QString &due, const QString &meant)
{
    return QStringLiteral("到期时间“%1”是电子表格的写法，本程序只认%2，应写作“%3”；"
                          "这条记录不会提醒。")
        .arg(due, dueTimeWords(), meant);
}

QString dueTimeNotReal(const QString &due)
{
    return QStringLiteral("到期时间“%1”不是存在的日期或时刻，这条记录不会提醒。").arg(due);
}

QString dueTimeMalformed(const QString &due)
{
    return QStringLiteral("到期时间“%1”不是%2的形式，这条记录不会提醒。").arg(due, dueTimeWords());
}

QString noTemperatures(int days)
{
    return QStringLiteral("无温度记录，按%1天估计").arg(days);
}

QString degreeDaysMeasured(const QString &sum)
{
    return QStringLiteral("已累计 %1℃·d，到期时间按实测温度").arg(sum);
}

QString degreeDaysEstimated(const QString &sum)
{
    return QStringLiteral("已累计 %1℃·d，到期时间为估计").arg(sum);
}

} // namespace RecordText
