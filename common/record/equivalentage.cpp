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
} // namespace

QString ageText()
{
    return QStringLiteral("600℃·d");
}

bool isMarked(QStringView age)
{
    return age == ageText();
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
    const std::optional<QDateTime> made = DueTime::makingTime(DueTime::makingText(making));
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
