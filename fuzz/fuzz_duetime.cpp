// Number reading and the due-time calculation on arbitrary texts.
//
// Input: two bytes for the making date (days from 2000-01-01, or an invalid date), then the
// texts of the hour, minute, age, further hours and further minutes boxes (each a length byte
// and that many bytes of UTF-8), then a raw due-time text for DueTime::normalise.

#include "duetime.h"
#include "fuzzinput.h"
#include "numberreading.h"

#include <QDateTime>

#include <cmath>

namespace {

void checkNumber(const QString &text)
{
    const double value = NumberReading::readNumber(text);
    FUZZ_CHECK(!std::isnan(value));
    const double rounded = NumberReading::roundHalfEven(value);
    if (std::isfinite(value)) {
        FUZZ_CHECK(std::floor(rounded) == rounded);
        FUZZ_CHECK(std::fabs(rounded - value) <= 0.5);
    }
    const auto whole = NumberReading::readWholeNumberIn(text, -59, 59);
    if (whole)
        FUZZ_CHECK(*whole >= -59 && *whole <= 59 && double(*whole) == rounded);
}

// The due time the plain way: minutes added to the making time on a calendar.
QString expectedDueTime(const DueTime::Inputs &in)
{
    // The boxes held numbers and nothing else, or the computation would have refused them.
    const auto number = [](const QString &text) {
        return text.trimmed().isEmpty() ? 0.0 : *NumberReading::wholeNumber(text);
    };
    const auto whole = [&number](const QString &text) {
        return static_cast<long long>(NumberReading::roundHalfEven(number(text)));
    };
    const long long days = static_cast<long long>(std::floor(number(in.age)));
    const long long hour = whole(in.hour);
    const long long minute = whole(in.minute);
    const auto further = whole;
    const long long minutes =
        (hour + further(in.furtherHours)) * 60 + minute + further(in.furtherMinutes);
    const QDateTime due = QDateTime(in.makingDate, QTime(0, 0), Qt::UTC)
                              .addDays(days + minutes / (24 * 60))
                              .addSecs((minutes % (24 * 60)) * 60);
    return due.toString(QStringLiteral("yyyy-MM-dd hh:mm"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const quint8 high = input.takeByte();
    const quint8 low = input.takeByte();
    const int offset = qint16(quint16(high << 8 | low));
    DueTime::Inputs in;
    in.makingDate = offset == -32768 ? QDate() : QDate(2000, 1, 1).addDays(offset);
    in.hour = input.takeText(16);
    in.minute = input.takeText(16);
    in.age = input.takeText(24);
    in.furtherHours = input.takeText(24);
    in.furtherMinutes = input.takeText(24);
    const QString raw = QString::fromUtf8(input.rest());

    for (const QString &text :
         {in.hour, in.minute, in.age, in.furtherHours, in.furtherMinutes, raw})
        checkNumber(text);

    // Whatever the raw text, normalise gives the four separators and each padded part.
    FUZZ_CHECK(DueTime::normalise(raw).size() >= 8);

    const DueTime::Outcome outcome = DueTime::compute(in);
    FUZZ_CHECK(outcome.ok() != outcome.dueTime.isEmpty());
    if (!outcome.ok())
        return 0;
    FUZZ_CHECK(DueTime::isRealDueTime(outcome.dueTime));
    FUZZ_CHECK(outcome.dueTime == expectedDueTime(in));
    return 0;
}
