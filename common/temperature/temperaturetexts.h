#pragma once

#include <QString>

// The texts of the temperature record.
namespace TemperatureText {

// How messages name 温度记录.csv, and the header line a new file starts with.
QString file();
QString header();
QString cannotRead(const QString &path, const QString &reason);
QString notAFile();
// Why a line is no day's mean.
QString fieldCount(qsizetype fields);
QString badDate(const QString &text);
QString badMean(const QString &text);
// A temperature, named (meanName, "最高温度" ...), that is no number within the limits.
QString meanName(); // "日平均温度"
QString badReading(const QString &name, const QString &text);
// Lines of the file named where no window lists them: each line, then how many, the first few.
QString unreadableLine(qsizetype line, const QString &start, const QString &reason);
QString unreadableLines(const QString &path, qsizetype count, const QString &first);

} // namespace TemperatureText
