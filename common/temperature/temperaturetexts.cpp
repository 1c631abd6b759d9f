#include "temperaturetexts.h"

#include "temperaturelog.h"

namespace TemperatureText {

QString file()
{
    return QStringLiteral("温度记录文件");
}

QString header()
{
    return QStringLiteral("日期,日平均温度");
}

QString cannotRead(const QString &path, const QString &reason)
{
    return QStringLiteral("无法读取温度记录文件 %1：%2").arg(path, reason);
}

QString notAFile()
{
    return QStringLiteral("这个名字的不是一个文件");
}

QString fieldCount(qsizetype fields)
{
    return QStringLiteral("这一行有 %1 栏，应为“日期,日平均温度”两栏，例如 2026-12-08,20.5。")
        .arg(fields);
}

QString badDate(const QString &text)
{
    return QStringLiteral("日期“%1”无法识别，应为“年-月-日”，年份写四位，例如 2026-12-08。")
        .arg(text);
}

QString badMean(const QString &text)
{
    return badReading(meanName(), text);
}

QString meanName()
{
    return QStringLiteral("日平均温度");
}

QString badReading(const QString &name, const QString &text)
{
    return QStringLiteral("%1“%2”不是 %3 至 %4 ℃ 之间的一个数，例如 20.5 或 -3。")
        .arg(name, text)
        .arg(TemperatureLog::kLowest)
        .arg(TemperatureLog::kHighest);
}

QString unreadableLine(qsizetype line, const QString &start, const QString &reason)
{
    return QStringLiteral("第 %1 行“%2”：%3").arg(line).arg(start, reason);
}

QString unreadableLines(const QString &path, qsizetype count, const QString &first)
{
    return QStringLiteral("温度记录文件 %1 中有 %2 行无法识别，估计等效养护龄期时不用这些行：\n%3\n"
                          "请在“数据编辑 → 温度记录”中查看，或用记事本改正。")
        .arg(path)
        .arg(count)
        .arg(first);
}

} // namespace TemperatureText
