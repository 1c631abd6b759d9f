#include "equivalentage.h"

#include "clock.h"
#include "numberreading.h"
#include "recordtexts.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace EquivalentAge {

namespace {
// Sums of decimals such as 20.1 miss 600 by a rounding error.
constexpr double kSlack = 1e-9;

std::optional<int> wholePart(QStringView text, int low, int high)
{
    const std::optional<double> number = NumberReading::wholeNumber(text);
    if (!number)
        return std::nullopt;
    const double rounded = NumberReading::roundHalfEven(*number);
    if (!(rounded >= low && rounded <= high))
        return std::nullopt;
    return int(rounded);
}
} // namespace

QString ageText()
{
    return QStringLiteral("600℃·d");
}

bool isMarked(QStringView age)
{
    return age == ageText();
}

std::optional<QDateTime> makingTime(QStringView field)
{
    // The date, a blank, then the time; the hour and minute as typed may hold blanks of their own.
    const QStringView text = field.trimmed();
    const qsizetype blank = text.indexOf(u' ');
    if (blank < 0)
        return std::nullopt;
    const QList<QStringView> date = text.left(blank).split(u'-');
    const QList<QStringView> time = text.mid(blank).split(u':');
    if (date.size() != 3 || time.size() != 2)
        return std::nullopt;
    const auto year = wholePart(date[0], 1000, 9999), month = wholePart(date[1], 1, 12),
               day = wholePart(date[2], 1, 31), hour = wholePart(time[0], 0, 23),
               minute = wholePart(time[1], 0, 59);
    if (!year || !month || !day || !hour || !minute || !QDate::isValid(*year, *month, *day))
        return std::nullopt;
    return QDateTime(QDate(*year, *month, *day), QTime(*hour, *minute));
}

QString Estimate::dueText() const
{
    return TimeText::minute(due);
}

QString Estimate::note() const
{
    if (!recorded)
        return RecordText::noTemperatures(kDaysWithoutTemperatures);
    const QString sum = numberText(degreeDays, 1);
    return measured ? RecordText::degreeDaysMeasured(sum) : RecordText::degreeDaysEstimated(sum);
}

Estimate estimate(const QDateTime &making, const Means &means, const QDate &today)
{
    Estimate result;
    const QDate first = making.date();
    const auto upToToday = means.upperBound(today);
    result.recorded = first <= today && means.lowerBound(first) != upToToday;
    if (!result.recorded) {
        result.due = making.addDays(kDaysWithoutTemperatures);
        result.days = kDaysWithoutTemperatures;
        return result;
    }
    double recent = 0;
    int taken = 0;
    for (auto it = upToToday; it != means.begin() && taken < kRecentDays; ++taken)
        recent += (--it).value();
    const double standIn = recent / taken;

    double total = 0;
    int counted = 0;
    bool allRecorded = true;
    // Ends: past days are finitely many, and every day after today counts.
    for (qint64 i = 0;; ++i) {
        const QDate day = first.addDays(i);
        const auto found = day <= today ? means.constFind(day) : means.constEnd();
        const bool isRecorded = found != means.constEnd();
        allRecorded = allRecorded && isRecorded;
        if (isRecorded && *found <= 0)
            continue;
        const double added = std::max(isRecorded ? *found : standIn, 0.0);
        total += added;
        ++counted;
        if (isRecorded)
            result.degreeDays += added;
        if ((counted >= kFewestDays && total >= kTarget - kSlack) || counted >= kMostDays) {
            result.due = making.addDays(i + 1);
            result.days = counted;
            result.measured = allRecorded;
            return result;
        }
    }
}

DueTime::Outcome dueTime(const DueTime::Inputs &making, const Means &means, const QDate &today)
{
    const QString refusal = DueTime::numberRefusal(making);
    if (!refusal.isEmpty())
        return {{}, refusal + RecordText::dueNotComputed()};
    const std::optional<QDateTime> made = makingTime(DueTime::makingText(making));
    if (!made)
        return {{}, RecordText::makingDateInvalid()};
    return {estimate(*made, means, today).dueText(), {}};
}

QString numberText(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    // + 0.0 turns a rounded -0 into 0.
    return QString::number(std::round(value * scale) / scale + 0.0, 'g', 15);
}

} // namespace EquivalentAge
