#pragma once

#include <QString>

// The texts of one batch: why "?" computes no due time, and why a line of a.bz is no record.
namespace RecordText {

// "?" refused: the words of the original for an empty age, as it always said them.
QString ageMissing();
// The names of the number boxes in these messages.
QString makingHour();
QString makingMinute();
QString further(const QString &unit); // "龄期的附加小时"
QString hours();
QString minutes();
// A number box that cannot be used.
QString boxMissing(const QString &box);
QString notANumber(const QString &box, const QString &text);
QString outsideRange(const QString &box, const QString &text, long long high);
QString negative(const QString &box, const QString &text);
// Ends a refusal of "?".
QString dueNotComputed();
QString ageBelowOneDay(const QString &age);
QString makingDateInvalid();
QString dueOutOfRange();

// Why a line of a.bz is no record (the list of unreadable lines).
QString semicolonFields();
QString quotedFields(qsizetype fields, qsizetype width);
QString fieldCount(qsizetype fields, qsizetype width);
QString noDueTime();
QString notGbk(qsizetype column);
QString spreadsheetDueTime(const QString &due, const QString &meant);
QString dueTimeNotReal(const QString &due);
QString dueTimeMalformed(const QString &due);

// The schedule's words on a record tested at its equivalent age: the ℃·d recorded so far, and
// whether its due time rests on recorded means alone.
QString noTemperatures(int days); // "无温度记录，按28天估计"
QString degreeDaysMeasured(const QString &sum);
QString degreeDaysEstimated(const QString &sum);

} // namespace RecordText
