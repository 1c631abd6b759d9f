#include "duetime.h"

#include "duecheck.h"
#include "numberreading.h"

#include <QStringList>

#include <cmath>

namespace DueTime {

namespace {
constexpr long long kMinutesPerDay = 24 * 60;
// Larger values put the due date past 9999 anyway; the bound keeps the arithmetic exact.
constexpr double kLargest = 1e12;

QString part(const QStringList &parts, int index)
{
    return index < parts.size() ? parts[index] : QString();
}

// One "0" in front of anything that is not exactly two characters long.
QString padded(const QString &text)
{
    return text.size() == 2 ? text : QLatin1Char('0') + text;
}

// The raw text carries a blank in front of hour and minute, the sign place of the number-to-text
// conversion it was first built with; Timesorting splits at those blanks.
QString withSignPlace(long long value)
{
    return QLatin1Char(' ') + QString::number(value);
}

Outcome refused(const QString &message)
{
    return {QString(), message};
}

Outcome outOfRange()
{
    return refused(QStringLiteral("到期时间超出可计算的范围（只能在 1000 年到 9999 年之间）。"
                                  "未计算到期时间，请检查龄期和附加的小时分钟。"));
}

// A further amount (hours or minutes beyond the whole days): not negative, rounded half to even.
bool readFurther(const QString &text, const QString &what, long long *value, Outcome *refusal)
{
    const double number = NumberReading::readNumber(text);
    if (std::isnan(number) || number < 0) {
        *refusal =
            refused(QStringLiteral("龄期的附加%1“%2”不能为负数。未计算到期时间。").arg(what, text));
        return false;
    }
    const double rounded = NumberReading::roundHalfEven(number);
    if (rounded > kLargest) {
        *refusal = outOfRange();
        return false;
    }
    *value = static_cast<long long>(rounded);
    return true;
}
} // namespace

QString errorTitle()
{
    return QStringLiteral("错误");
}

Outcome tianjia(const Inputs &in)
{
    if (in.age.isEmpty())
        return refused(QStringLiteral("龄期未填写，无法进行添加"));
    const double age = NumberReading::readNumber(in.age);
    if (std::isnan(age) || age < 1) {
        return refused(
            QStringLiteral("龄期“%1”不足 1 天：龄期须是至少为 1 的天数。未计算到期时间。")
                .arg(in.age));
    }
    if (age > kLargest)
        return outOfRange();
    // An age of 7.9 counts 7 whole days.
    const long long days = static_cast<long long>(std::floor(age));

    if (!in.makingDate.isValid())
        return refused(QStringLiteral("制作日期无效，未计算到期时间。"));
    const auto hour = NumberReading::readWholeNumberIn(in.hour, 0, 23);
    if (!hour) {
        return refused(QStringLiteral("制作时间的小时“%1”无效：须在 0 到 23 之间。未计算到期时间。")
                           .arg(in.hour));
    }
    const auto minute = NumberReading::readWholeNumberIn(in.minute, 0, 59);
    if (!minute) {
        return refused(QStringLiteral("制作时间的分钟“%1”无效：须在 0 到 59 之间。未计算到期时间。")
                           .arg(in.minute));
    }
    Outcome refusal;
    long long furtherHours = 0;
    long long furtherMinutes = 0;
    if (!readFurther(in.furtherHours, QStringLiteral("小时"), &furtherHours, &refusal) ||
        !readFurther(in.furtherMinutes, QStringLiteral("分钟"), &furtherMinutes, &refusal)) {
        return refusal;
    }

    // Minutes from midnight of the making date; whole days of it roll over into the date.
    const long long total = (*hour + furtherHours) * 60 + *minute + furtherMinutes;
    const long long dayOffset = total / kMinutesPerDay + days;
    const long long timeOfDay = total % kMinutesPerDay;
    const qint64 first = QDate(1000, 1, 1).toJulianDay();
    const qint64 last = QDate(9999, 12, 31).toJulianDay();
    const qint64 dueDay = in.makingDate.toJulianDay() + dayOffset;
    if (dueDay < first || dueDay > last)
        return outOfRange();

    const QString raw = pickerDateText(QDate::fromJulianDay(dueDay)) +
                        withSignPlace(timeOfDay / 60) + QLatin1Char(':') +
                        withSignPlace(timeOfDay % 60);
    return {Timesorting(raw), QString()};
}

QString Timesorting(const QString &raw)
{
    const QStringList parts = raw.split(QLatin1Char(' '));
    const QStringList date = part(parts, 0).split(QLatin1Char('-'));
    const QString year = part(date, 0);
    const QString month = padded(part(date, 1));
    const QString day = padded(part(date, 2));
    const QString hour = padded(part(parts, 1).remove(QLatin1Char(':')));
    const QString minute = padded(part(parts, 2));
    return year + QLatin1Char('-') + month + QLatin1Char('-') + day + QLatin1Char(' ') + hour +
           QLatin1Char(':') + minute;
}

bool isRealDueTime(QStringView text)
{
    if (!DueCheck::isDueTimeText(text))
        return false;
    // "YYYY-MM-DD hh:mm": the parts stand at fixed places.
    const auto part = [text](qsizetype from, qsizetype size) {
        return text.mid(from, size).toInt();
    };
    return QDate::isValid(part(0, 4), part(5, 2), part(8, 2)) && part(11, 2) < 24 &&
           part(14, 2) < 60;
}

QString pickerDateText(const QDate &date)
{
    return QStringLiteral("%1-%2-%3").arg(date.year()).arg(date.month()).arg(date.day());
}

} // namespace DueTime
