#include "duetime.h"

#include "duecheck.h"
#include "equivalentage.h"
#include "numberreading.h"
#include "recordtexts.h"
#include "specimenrecord.h"
#include "titles.h"

#include <QDateTime>
#include <QStringList>

#include <algorithm>
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
// conversion it was first built with; normalise splits at those blanks.
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
    return refused(RecordText::dueOutOfRange());
}

// What the five number boxes hold, each read as the one number it must be.
struct Numbers
{
    double age = 0;
    long long hour = 0, minute = 0, furtherHours = 0, furtherMinutes = 0;
};

// Reads the boxes; the refusal names the first box that does not hold a usable number.
QString readBoxes(const Inputs &in, Numbers *numbers)
{
    if (in.age.isEmpty())
        return RecordText::ageMissing();
    if (!EquivalentAge::isMarked(in.age)) {
        const auto age = NumberReading::wholeNumber(in.age);
        if (!age)
            return RecordText::notANumber(SpecimenRecord::texts(SpecimenRecord::Age).name, in.age);
        numbers->age = *age;
    }

    const auto timeOfDay = [](const QString &text, const QString &box, long long high,
                              long long *value) -> QString {
        if (text.trimmed().isEmpty())
            return RecordText::boxMissing(box);
        const auto number = NumberReading::wholeNumber(text);
        if (!number)
            return RecordText::notANumber(box, text);
        const double rounded = NumberReading::roundHalfEven(*number);
        if (!(rounded >= 0 && rounded <= double(high)))
            return RecordText::outsideRange(box, text, high);
        *value = static_cast<long long>(rounded);
        return {};
    };
    // A further amount (hours or minutes beyond the whole days): an empty box adds nothing.
    const auto further = [](const QString &text, const QString &what, long long *value) -> QString {
        const QString box = RecordText::further(what);
        if (text.trimmed().isEmpty())
            return {};
        const auto number = NumberReading::wholeNumber(text);
        if (!number)
            return RecordText::notANumber(box, text);
        if (*number < 0)
            return RecordText::negative(box, text);
        const double rounded = NumberReading::roundHalfEven(*number);
        *value = static_cast<long long>(std::min(rounded, kLargest + 1));
        return {};
    };
    QString refusal = timeOfDay(in.hour, RecordText::makingHour(), 23, &numbers->hour);
    if (refusal.isEmpty())
        refusal = timeOfDay(in.minute, RecordText::makingMinute(), 59, &numbers->minute);
    if (refusal.isEmpty())
        refusal = further(in.furtherHours, RecordText::hours(), &numbers->furtherHours);
    if (refusal.isEmpty())
        refusal = further(in.furtherMinutes, RecordText::minutes(), &numbers->furtherMinutes);
    return refusal;
}
} // namespace

QString errorTitle()
{
    return Title::error();
}

QString numberRefusal(const Inputs &inputs)
{
    Numbers numbers;
    return readBoxes(inputs, &numbers);
}

Outcome compute(const Inputs &in)
{
    Numbers n;
    const QString refusal = readBoxes(in, &n);
    if (in.age.isEmpty())
        return refused(refusal); // the words of the original, exactly
    if (!refusal.isEmpty())
        return refused(refusal + RecordText::dueNotComputed());
    if (n.age < 1)
        return refused(RecordText::ageBelowOneDay(in.age));
    if (n.age > kLargest || n.furtherHours > kLargest || n.furtherMinutes > kLargest)
        return outOfRange();
    // An age of 7.9 counts 7 whole days.
    const long long days = static_cast<long long>(std::floor(n.age));

    if (!in.makingDate.isValid())
        return refused(RecordText::makingDateInvalid());

    // Minutes from midnight of the making date; whole days of it roll over into the date.
    const long long total = (n.hour + n.furtherHours) * 60 + n.minute + n.furtherMinutes;
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
    return {normalise(raw), QString()};
}

Inputs makingOf(QStringView field)
{
    Inputs in;
    const QString text = NumberReading::asciiForm(field).trimmed();
    const qsizetype blank = text.indexOf(u' ');
    const QStringList date = text.left(blank).split(u'-');
    const QStringList time = blank < 0 ? QStringList() : text.mid(blank + 1).split(u':');
    if (date.size() == 3) {
        const auto year = NumberReading::wholeNumber(date[0]);
        const auto month = NumberReading::wholeNumber(date[1]);
        const auto day = NumberReading::wholeNumber(date[2]);
        if (year && month && day)
            in.makingDate = QDate(int(*year), int(*month), int(*day));
    }
    in.hour = time.value(0);
    in.minute = time.value(1);
    return in;
}

std::optional<QDateTime> makingTime(QStringView field)
{
    const Inputs in = makingOf(field);
    const auto part = [](const QString &text, int high) -> std::optional<int> {
        const std::optional<double> number = NumberReading::wholeNumber(text);
        if (!number)
            return std::nullopt;
        const double rounded = NumberReading::roundHalfEven(*number);
        return rounded >= 0 && rounded <= high ? std::optional<int>(int(rounded)) : std::nullopt;
    };
    const std::optional<int> hour = part(in.hour, 23), minute = part(in.minute, 59);
    if (!in.makingDate.isValid() || !hour || !minute)
        return std::nullopt;
    return QDateTime(in.makingDate, QTime(*hour, *minute));
}

Outcome recomputed(const QStringList &before, const QStringList &after)
{
    const auto inputs = [](const QStringList &stored) {
        Inputs in = makingOf(stored.value(SpecimenRecord::MakingDate));
        in.age = stored.value(SpecimenRecord::Age);
        return in;
    };
    Inputs in = inputs(after);
    // What the old due time held beyond making time and age: a further time kept as it was.
    const QString oldDue = before.value(SpecimenRecord::DueTime);
    const Outcome oldBase = compute(inputs(before));
    if (oldBase.ok() && isRealDueTime(oldDue)) {
        // Counted on the calendar, as compute() adds: no time zone or clock change between.
        const auto minutes = [](const QString &due) {
            return QDate::fromString(due.left(10), Qt::ISODate).toJulianDay() * kMinutesPerDay +
                   due.mid(11, 2).toInt() * 60 + due.mid(14, 2).toInt();
        };
        const qint64 further = minutes(oldDue) - minutes(oldBase.dueTime);
        if (further > 0)
            in.furtherMinutes = QString::number(further);
    }
    return compute(in);
}

QString normalise(const QString &raw)
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

namespace {
// text has the due-time form: its parts are digits at fixed places, read without a copy.
template <typename Char> bool namesRealTime(const Char *text)
{
    const auto part = [text](int from, int size) {
        int value = 0;
        for (int i = from; i < from + size; ++i)
            value = value * 10 + int(text[i] - '0');
        return value;
    };
    return QDate::isValid(part(0, 4), part(5, 2), part(8, 2)) && part(11, 2) < 24 &&
           part(14, 2) < 60;
}
} // namespace

bool isRealDueTime(QStringView text)
{
    return DueCheck::isDueTimeText(text) && namesRealTime(text.utf16());
}

bool isRealDueTime(QByteArrayView field)
{
    return DueCheck::isDueTimeText(field) && namesRealTime(field.data());
}

QString makingText(const Inputs &inputs)
{
    return pickerDateText(inputs.makingDate) + QLatin1Char(' ') +
           NumberReading::asciiForm(inputs.hour) + QLatin1Char(':') +
           NumberReading::asciiForm(inputs.minute);
}

QString pickerDateText(const QDate &date)
{
    return QStringLiteral("%1-%2-%3").arg(date.year()).arg(date.month()).arg(date.day());
}

} // namespace DueTime
