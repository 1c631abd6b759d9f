#pragma once

#include "equivalentage.h"
#include "recordcheck.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// 温度记录.csv in the data folder: the daily mean temperatures of the site, in code page 936, one
// line a date, "YYYY-MM-DD,日平均温度", so that a lab may fill it from a logger or a spreadsheet
// as well as from the window. A header line may come first; dates may be written "2026-12-8" or
// "2026/12/8", means with decimals, full-width digits and minus as a box reads them. Of two lines
// of one date the later wins. A line that is none of these is named, as an unreadable record is,
// and left as it is: the file is written only when the user records a mean, and then every other
// line stays as it was.
class TemperatureLog
{
public:
    explicit TemperatureLog(const QString &dataFolder);
    const QString &path() const { return m_path; }

    // A mean outside these is a slip of the hand, not a day's weather.
    static constexpr double kLowest = -60;
    static constexpr double kHighest = 60;

    struct Reading
    {
        bool exists = false;
        QString error; // the file is there but cannot be read
        EquivalentAge::Means means;
        QList<RecordCheck::Unreadable> unreadable;
        QList<QByteArray> lines;            // the file's lines without their breaks
        QHash<QDate, qsizetype> lineOfDate; // the line each date's mean is read from
    };
    Reading read() const;
    static Reading parse(const QByteArray &data);

    // Puts these means into the file under its lock, read again first: a date's line is replaced
    // where it stands, a new date appended. Returns why nothing was written, empty when it was.
    QString record(const EquivalentAge::Means &means, int lockWaitMs = 5000) const;

    // A mean as typed or as the file holds it, when it is one number within the limits.
    static std::optional<double> readMean(QStringView text);
    static QString line(const QDate &date, double mean); // "2026-12-08,20.5"
    // The unreadable lines of reading named for a message, the first few of them; empty for none.
    static QString unreadableText(const QString &path, const Reading &reading);

private:
    QString m_path;
};
