#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

// The due time of a batch: making date and time plus the curing age, as the entry form's "?"
// computes it. Kept free of windows so that it can be tested on its own.
namespace DueTime {

// What the technician typed, each box as its text; the making date comes from the date picker.
struct Inputs
{
    QDate makingDate;
    QString hour;           // Text4, 0 to 23
    QString minute;         // Text5, 0 to 59
    QString age;            // Text6, whole days, at least 1
    QString furtherHours;   // Text2, not negative
    QString furtherMinutes; // Text11, not negative
};

// Either the due time "YYYY-MM-DD hh:mm" or, when the inputs cannot give one, a message saying
// what was wrong (shown with the title Title::error() and no icon).
struct Outcome
{
    QString dueTime;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

QString errorTitle(); // Title::error()

// Why the number boxes cannot be used, naming the box, or an empty text: a box must hold one
// number and nothing else (full-width digits count as digits), hour and minute a time of day,
// further amounts nothing negative; empty further boxes add nothing. "添加" checks this too, so
// that the making date in the file holds the time that was meant. The age of a record tested at
// its equivalent age (EquivalentAge::ageText) is no number of days and is not checked.
QString numberRefusal(const Inputs &inputs);

// Full carry: further minutes and hours of any size roll over into hours and days, so the
// result is always a real time of day on a real date.
Outcome compute(const Inputs &inputs);

// The making date, hour and minute of a record's 制作日期 field as the entry form writes it
// ("2026-12-8 9:05": the picker's date, a blank, hour and minute as typed); the date is invalid
// when the field names none. The age and the further boxes are left empty.
Inputs makingOf(QStringView field);
// The making time that field names; nothing when it names no real date and time of day.
std::optional<QDateTime> makingTime(QStringView field);

// The due time of a record after a correction of its age or making time (stored fields before
// and after it): the making time plus the age, as "?" computes, plus the time the due time held
// beyond both before (what "另加" added). Refused, naming the box, as "?" refuses.
Outcome recomputed(const QStringList &before, const QStringList &after);

// Normalises a raw due-time text "YYYY-M-D H: M" (parts split at blanks, the date at "-") by
// padding month, day, hour and minute to two characters. Missing parts count as empty texts, so
// any text is safe; a malformed text gives a malformed result, never a crash.
QString normalise(const QString &raw);

// True when text has the form of a due time (DueCheck::isDueTimeText) and names a date and a
// time of day that exist. The entry form relies on this stricter meaning: a record due on
// 2023-02-29 would be saved and never remind. The monitor needs the form alone.
bool isRealDueTime(QStringView text);
// The same for the bytes of a field of a.bz.
bool isRealDueTime(QByteArrayView field);

// The making date field of the record: the picker's date, the hour and the minute in ASCII
// ("2024-5-3 8:30").
QString makingText(const Inputs &inputs);

// The date picker's date as text: year, month and day joined by "-", month and day without
// leading zeros (3 May 2024 gives "2024-5-3").
QString pickerDateText(const QDate &date);

} // namespace DueTime
