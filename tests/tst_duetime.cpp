#include "duetime.h"
#include "recordtexts.h"
#include "specimenrecord.h"

#include <QTest>

class TestDueTime : public QObject
{
    Q_OBJECT

private slots:
    void computesDueTime_data();
    void computesDueTime();
    void matchesSingleCarryWhereItWorks();
    void refusesInputsWithoutDueTime_data();
    void refusesInputsWithoutDueTime();
    void timesorting_data();
    void timesorting();
    void recognisesDueTimeText_data();
    void recognisesDueTimeText();
    void writesPickerDate();
    void correctionRecomputes_data();
    void correctionRecomputes();
};

namespace {
DueTime::Inputs inputs(const QDate &date, const QString &hour, const QString &minute,
                       const QString &age, const QString &furtherHours,
                       const QString &furtherMinutes)
{
    return {date, hour, minute, age, furtherHours, furtherMinutes};
}
} // namespace

void TestDueTime::computesDueTime_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("minute");
    QTest::addColumn<QString>("age");
    QTest::addColumn<QString>("furtherHours");
    QTest::addColumn<QString>("furtherMinutes");
    QTest::addColumn<QString>("expected");

    // name, making date, hour, minute, age, further hours, further minutes, due time
    const auto row = [](const char *name, QDate date, const char *hour, const char *minute,
                        const char *age, const char *furtherHours, const char *furtherMinutes,
                        const char *expected) {
        QTest::newRow(name) << date << QString::fromUtf8(hour) << QString::fromUtf8(minute)
                            << QString::fromUtf8(age) << QString::fromUtf8(furtherHours)
                            << QString::fromUtf8(furtherMinutes) << QString::fromUtf8(expected);
    };
    const QDate may3(2024, 5, 3);
    // The worked examples.
    row("28 days", may3, "09", "05", "28", "0", "0", "2024-05-31 09:05");
    row("both carries, leap year", {2024, 2, 27}, "22", "50", "2", "1", "15", "2024-03-01 00:05");
    row("minutes exactly 60", may3, "10", "45", "7", "0", "15", "2024-05-10 11:00");
    row("year end", {2024, 12, 31}, "23", "30", "1", "0", "40", "2025-01-02 00:10");
    // Carries at their exact edges.
    row("hours exactly 24", {2024, 6, 10}, "23", "45", "1", "0", "15", "2024-06-12 00:00");
    row("23:59 does not carry", {2024, 6, 10}, "23", "44", "1", "0", "15", "2024-06-11 23:59");
    // Calendar arithmetic.
    row("month end", {2024, 1, 31}, "08", "00", "1", "0", "0", "2024-02-01 08:00");
    row("leap day", {2024, 2, 28}, "08", "00", "1", "0", "0", "2024-02-29 08:00");
    row("no leap day in 2023", {2023, 2, 28}, "08", "00", "1", "0", "0", "2023-03-01 08:00");
    row("no leap day in 2100", {2100, 2, 28}, "08", "00", "1", "0", "0", "2100-03-01 08:00");
    row("28 days into the next year", {2024, 12, 20}, "08", "00", "28", "0", "0",
        "2025-01-17 08:00");
    // Number reading.
    row("7.9 counts 7 days", may3, "09", "05", "7.9", "0", "0", "2024-05-10 09:05");
    row("one-digit hour and minute", may3, "9", "5", "28", "0", "0", "2024-05-31 09:05");
    row("blank inside the age", may3, "09", "05", "2 8", "0", "0", "2024-05-31 09:05");
    row("empty further boxes read 0", may3, "09", "05", "1", "", "", "2024-05-04 09:05");
    // An input method in full-width mode types these.
    row("full-width hour and minute", may3, "０８", "３０", "２８", "０", "０", "2024-05-31 08:30");
    row("full-width point, sign, blank", may3, "8", "30", "７．９", "＋１　", "0",
        "2024-05-10 09:30");
    row("further hours round half to even", may3, "09", "05", "1", "2.5", "0", "2024-05-04 11:05");
    // Full carry beyond the single carry.
    row("further hours 24", may3, "09", "05", "1", "24", "0", "2024-05-05 09:05");
    row("further minutes 150", may3, "10", "45", "1", "0", "150", "2024-05-04 13:15");
    row("minutes carry past two hours", may3, "23", "59", "1", "0", "61", "2024-05-05 01:00");
    row("hours and minutes over days", may3, "09", "05", "1", "49", "130", "2024-05-06 12:15");
    row("a week of further hours across the year", {2024, 12, 30}, "00", "00", "1", "168", "0",
        "2025-01-07 00:00");
}

void TestDueTime::computesDueTime()
{
    QFETCH(QDate, date);
    QFETCH(QString, hour);
    QFETCH(QString, minute);
    QFETCH(QString, age);
    QFETCH(QString, furtherHours);
    QFETCH(QString, furtherMinutes);
    QFETCH(QString, expected);

    const DueTime::Outcome outcome =
        DueTime::compute(inputs(date, hour, minute, age, furtherHours, furtherMinutes));
    QCOMPARE(outcome.error, QString());
    QCOMPARE(outcome.dueTime, expected);
    QVERIFY(DueTime::isRealDueTime(outcome.dueTime));
}

// The one-carry rule of the original computation, written independently: wherever it gives a
// real time of day, the full carry must give the same text.
void TestDueTime::matchesSingleCarryWhereItWorks()
{
    const QDate date(2024, 2, 28);
    const int age = 3;
    int compared = 0;
    for (int hour = 0; hour < 24; hour += 1) {
        for (int minute = 0; minute < 60; minute += 7) {
            for (int furtherHours = 0; furtherHours <= 26; furtherHours += 2) {
                for (int furtherMinutes = 0; furtherMinutes <= 75; furtherMinutes += 5) {
                    int h = hour + furtherHours;
                    int m = minute + furtherMinutes;
                    if (m >= 60) {
                        h += 1;
                        m -= 60;
                    }
                    QDate base = date;
                    if (h >= 24) {
                        h -= 24;
                        base = base.addDays(1);
                    }
                    if (h >= 24 || m >= 60)
                        continue;
                    const QString expected = base.addDays(age).toString(u"yyyy-MM-dd") +
                                             QString::asprintf(" %02d:%02d", h, m);
                    const DueTime::Outcome outcome = DueTime::compute(inputs(
                        date, QString::number(hour), QString::number(minute), QString::number(age),
                        QString::number(furtherHours), QString::number(furtherMinutes)));
                    QCOMPARE(outcome.dueTime, expected);
                    ++compared;
                }
            }
        }
    }
    QVERIFY(compared > 1000);
}

void TestDueTime::refusesInputsWithoutDueTime_data()
{
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("minute");
    QTest::addColumn<QString>("age");
    QTest::addColumn<QString>("furtherHours");
    QTest::addColumn<QString>("furtherMinutes");
    QTest::addColumn<QString>("message");

    // name, hour, minute, age, further hours, further minutes, the message
    const auto row = [](const char *name, const char *hour, const char *minute, const char *age,
                        const char *furtherHours, const char *furtherMinutes,
                        const QString &message) {
        QTest::newRow(name) << QString::fromUtf8(hour) << QString::fromUtf8(minute)
                            << QString::fromUtf8(age) << QString::fromUtf8(furtherHours)
                            << QString::fromUtf8(furtherMinutes) << message;
    };
    // Every refusal but the empty age's ends in the same words.
    const auto refused = [](const QString &why) { return why + RecordText::dueNotComputed(); };
    const auto notANumber = [&](const QString &box, const char *text) {
        return refused(RecordText::notANumber(box, QString::fromUtf8(text)));
    };
    const auto outside = [&](const QString &box, const char *text, int high) {
        return refused(RecordText::outsideRange(box, QString::fromUtf8(text), high));
    };
    const QString age = QStringLiteral("龄期");
    const QString hour = RecordText::makingHour(), minute = RecordText::makingMinute();
    const QString furtherHours = RecordText::further(RecordText::hours());
    const QString furtherMinutes = RecordText::further(RecordText::minutes());
    row("empty age", "09", "05", "", "0", "0", RecordText::ageMissing());
    row("age of blanks", "09", "05", "  ", "0", "0", notANumber(age, "  "));
    row("age 0", "09", "05", "0", "0", "0", RecordText::ageBelowOneDay("0"));
    row("age 0.5", "09", "05", "0.5", "0", "0", RecordText::ageBelowOneDay("0.5"));
    row("age not a number", "09", "05", "天28", "0", "0", notANumber(age, "天28"));
    row("age with unit", "09", "05", "28天", "0", "0", notANumber(age, "28天"));
    row("two points in the age", "09", "05", "2.8.1", "0", "0", notANumber(age, "2.8.1"));
    row("letter o in the hour", "o8", "05", "28", "0", "0", notANumber(hour, "o8"));
    row("letter O in the minute", "08", "3O", "28", "0", "0", notANumber(minute, "3O"));
    row("empty hour", "", "05", "28", "0", "0", refused(RecordText::boxMissing(hour)));
    row("text in further hours", "09", "05", "28", "两", "0", notANumber(furtherHours, "两"));
    row("unit in further minutes", "09", "05", "28", "0", "15分",
        notANumber(furtherMinutes, "15分"));
    row("ideographic full stop", "09", "05", "7。5", "0", "0", notANumber(age, "7。5"));
    row("negative age", "09", "05", "-3", "0", "0", RecordText::ageBelowOneDay("-3"));
    row("hour 24", "24", "05", "28", "0", "0", outside(hour, "24", 23));
    row("negative hour", "-1", "05", "28", "0", "0", outside(hour, "-1", 23));
    row("hour rounding to 24", "23.5", "05", "28", "0", "0", outside(hour, "23.5", 23));
    row("minute 60", "09", "60", "28", "0", "0", outside(minute, "60", 59));
    row("negative further hours", "09", "05", "28", "-1", "0",
        refused(RecordText::negative(furtherHours, "-1")));
    row("negative further minutes", "09", "05", "28", "0", "-5",
        refused(RecordText::negative(furtherMinutes, "-5")));
    row("past year 9999", "09", "05", "3000000", "0", "0", RecordText::dueOutOfRange());
    row("huge further hours", "09", "05", "1", "999999999999999", "0", RecordText::dueOutOfRange());
}

void TestDueTime::refusesInputsWithoutDueTime()
{
    QFETCH(QString, hour);
    QFETCH(QString, minute);
    QFETCH(QString, age);
    QFETCH(QString, furtherHours);
    QFETCH(QString, furtherMinutes);
    QFETCH(QString, message);

    const DueTime::Outcome outcome = DueTime::compute(
        inputs(QDate(2024, 5, 3), hour, minute, age, furtherHours, furtherMinutes));
    QVERIFY(!outcome.ok());
    QCOMPARE(outcome.dueTime, QString());
    QCOMPARE(outcome.error, message);
}

void TestDueTime::timesorting_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char *name, const char *raw, const char *expected) {
        QTest::newRow(name) << QString::fromUtf8(raw) << QString::fromUtf8(expected);
    };
    row("raw from the computation", "2024-5-31 9: 5", "2024-05-31 09:05");
    row("midnight", "2024-3-1 0: 5", "2024-03-01 00:05");
    row("two digits stay", "2024-12-31 23: 59", "2024-12-31 23:59");
    row("three characters get one zero", "2024-123-1 9: 5", "2024-0123-01 09:05");
    row("year copied as it came", "24-5-3 9: 5", "24-05-03 09:05");
    // Too few parts: missing parts are empty texts.
    row("empty", "", "-0-0 0:0");
    row("year only", "2024", "2024-0-0 0:0");
    row("date only", "2024-5-31", "2024-05-31 0:0");
    row("no minute part", "2024-5-31 9:", "2024-05-31 09:0");
    row("no blanks or dashes", "abc", "abc-0-0 0:0");
    row("blanks only", "   ", "-0-0 0:0");
}

void TestDueTime::timesorting()
{
    QFETCH(QString, raw);
    QFETCH(QString, expected);
    QCOMPARE(DueTime::normalise(raw), expected);
}

void TestDueTime::recognisesDueTimeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("due time") << "2024-05-31 09:05" << true;
    QTest::newRow("leap day") << "2024-02-29 23:59" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("no leading zeros") << "2024-5-31 09:05" << false;
    QTest::newRow("29 February 2023") << "2023-02-29 10:00" << false;
    QTest::newRow("month 13") << "2024-13-01 10:00" << false;
    QTest::newRow("hour 24") << "2024-05-31 24:00" << false;
    QTest::newRow("minute 60") << "2024-05-31 09:60" << false;
    QTest::newRow("trailing blank") << "2024-05-31 09:05 " << false;
    QTest::newRow("trailing line break") << "2024-05-31 09:05\n" << false;
    QTest::newRow("leading blank") << " 2024-05-31 09:05" << false;
    QTest::newRow("seconds") << "2024-05-31 09:05:00" << false;
    QTest::newRow("full-width digits") << "２０２４-05-31 09:05" << false;
    QTest::newRow("unnormalised raw text") << "2024-5-31 9: 5" << false;
}

void TestDueTime::recognisesDueTimeText()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QCOMPARE(DueTime::isRealDueTime(text), accepted);
}

void TestDueTime::writesPickerDate()
{
    QCOMPARE(DueTime::pickerDateText(QDate(2024, 5, 3)), QStringLiteral("2024-5-3"));
    QCOMPARE(DueTime::pickerDateText(QDate(2024, 12, 31)), QStringLiteral("2024-12-31"));
}

void TestDueTime::correctionRecomputes_data()
{
    QTest::addColumn<QString>("making");
    QTest::addColumn<QString>("age");
    QTest::addColumn<QString>("due");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected"); // the new due time, or what the refusal names
    const int age = SpecimenRecord::Age, making = SpecimenRecord::MakingDate;
    QTest::newRow("age 28 to 7") << "2026-12-1 8:30"
                                 << "28"
                                 << "2026-12-29 08:30" << age << "7"
                                 << "2026-12-08 08:30";
    QTest::newRow("full-width age") << "2026-12-1 8:30"
                                    << "28"
                                    << "2026-12-29 08:30" << age << "７"
                                    << "2026-12-08 08:30";
    QTest::newRow("further time kept") << "2026-12-1 8:30"
                                       << "3"
                                       << "2026-12-05 02:45" << age << "7"
                                       << "2026-12-09 02:45";
    QTest::newRow("making date moved") << "2026-12-1 8:30"
                                       << "28"
                                       << "2026-12-29 08:30" << making << "2026-12-2 9:05"
                                       << "2026-12-30 09:05";
    QTest::newRow("old due unreadable") << "2026-12-1 8:30"
                                        << "28"
                                        << "下周" << age << "7"
                                        << "2026-12-08 08:30";
    QTest::newRow("age not a number") << "2026-12-1 8:30"
                                      << "28"
                                      << "2026-12-29 08:30" << age << "七天"
                                      << "七天";
    QTest::newRow("no such making day") << "2026-12-1 8:30"
                                        << "28"
                                        << "2026-12-29 08:30" << making << "2026-2-30 8:30"
                                        << "制作日期";
}

void TestDueTime::correctionRecomputes()
{
    QFETCH(QString, making);
    QFETCH(QString, age);
    QFETCH(QString, due);
    QFETCH(int, field);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QStringList before(SpecimenRecord::DueMark);
    before[SpecimenRecord::MakingDate] = making;
    before[SpecimenRecord::Age] = age;
    before[SpecimenRecord::DueTime] = due;
    QStringList after = before;
    after[field] = value;
    const DueTime::Outcome outcome = DueTime::recomputed(before, after);
    if (DueTime::isRealDueTime(expected)) {
        QCOMPARE(outcome.error, QString());
        QCOMPARE(outcome.dueTime, expected);
    } else {
        QVERIFY2(outcome.error.contains(expected), qPrintable(outcome.error));
    }
}

QTEST_GUILESS_MAIN(TestDueTime)
#include "tst_duetime.moc"
