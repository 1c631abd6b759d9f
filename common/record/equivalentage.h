#pragma once

#include "duetime.h"

#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringView>

#include <optional>

// Same-condition specimens are tested at their equivalent curing age: when the daily mean
// temperatures they lived through add up to 600 ℃·d, days at 0 ℃ or below not counted, the age
// not less than 14 days nor more than 60. Such a record keeps "600℃·d" in its age field and the
// present estimate as its due time, so that everything else reminds it as any other record.
//
// Days are counted as a standard record counts its 28: day 1 is the making date, day n the date
// n - 1 days after it, and a batch that reaches 600 ℃·d on day n is due n days after its making
// time, at the making time of day. At 20 ℃ every day that is day 30: due 30 days after making.
namespace EquivalentAge {

inline constexpr double kTarget = 600; // ℃·d
inline constexpr int kFewestDays = 14;
inline constexpr int kMostDays = 60;
inline constexpr int kDaysWithoutTemperatures = 28;
inline constexpr int kRecentDays = 7; // the recorded days whose mean stands in for the others

// "600℃·d", the age field of such a record.
QString ageText();
bool isMarked(QStringView age);

// Daily mean temperatures by date, ℃.
using Means = QMap<QDate, double>;

struct Estimate
{
    QDateTime due;
    int days = 0;            // the days counted up to the due time
    double degreeDays = 0;   // what the recorded means added, up to today and at most the due day
    bool recorded = false;   // any mean recorded from the making date to today; else 28 days
    bool measured = false;   // every day up to the due day recorded: no day stood in
    QString dueText() const; // "YYYY-MM-DD hh:mm"
    QString note() const;    // for the schedule: ℃·d so far, and measured or estimated
};

// The counting walks the days from the making date on. A day with a recorded mean adds it, unless
// it is 0 ℃ or below: then it neither adds nor counts. A day without one up to today, and every
// day after today, takes the mean of the last 7 days recorded up to today instead, and counts
// (adding nothing when that mean is 0 ℃ or below, so that the estimate is never endless). The
// due day is the first with 600 ℃·d and 14 days counted, or the 60th counted day. Recorded
// means after today are not used. No mean recorded from the making date to today: 28 days.
Estimate estimate(const QDateTime &making, const Means &means, const QDate &today);

// The entry form's due time for a record marked for the equivalent age: the estimate from the
// making date and time typed, or why the boxes give none (as "?" says it).
DueTime::Outcome dueTime(const DueTime::Inputs &making, const Means &means, const QDate &today);

// A temperature or a sum as the programs write it: at most `decimals` decimals, no trailing zeros.
QString numberText(double value, int decimals);

} // namespace EquivalentAge
