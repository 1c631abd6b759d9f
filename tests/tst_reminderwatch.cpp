#include "recordfile.h"
#include "reminderjournal.h"
#include "reminderwatch.h"
#include "specimenrecord.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

using ReminderWatch::Due;
Q_DECLARE_METATYPE(ReminderWatch::Due)

namespace {
Due due(const QString &part, const QString &dueTime)
{
    return {sample(part, dueTime).text(), dueTime};
}
QDateTime at(const QString &minute)
{
    return QDateTime::fromString(minute, QStringLiteral("yyyy-MM-dd HH:mm"));
}
} // namespace

class TestReminderWatch : public QObject
{
    Q_OBJECT

private slots:
    void neverRemindedIsToldOnce_data();
    void neverRemindedIsToldOnce();
    void horizonIsTheSpanOrWhenWatchingBegan();
    void scanFindsTheSpansRecordsInTheFile_data();
    void scanFindsTheSpansRecordsInTheFile();
};

void TestReminderWatch::neverRemindedIsToldOnce_data()
{
    QTest::addColumn<QList<Due>>("records");
    QTest::addColumn<QStringList>("reminded"); // parts the journal knows
    QTest::addColumn<QString>("now");
    QTest::addColumn<QStringList>("told"); // parts, in the order told

    const QList<Due> day{due("popped", "2026-12-06 09:05"), due("listed", "2026-12-06 07:00")};
    QTest::newRow("restart the same day")
        << day << QStringList{"popped", "listed"} << "2026-12-06 09:30" << QStringList();
    QTest::newRow("two days off") << QList<Due>{due("sun", "2026-12-06 07:00"),
                                                due("fri", "2026-12-04 10:00"),
                                                due("sat late", "2026-12-05 20:00"),
                                                due("sat", "2026-12-05 08:00"),
                                                due("told before", "2026-12-04 09:00")}
                                  << QStringList{"told before"} << "2026-12-06 08:00"
                                  << QStringList{"fri", "sat", "sat late", "sun"};
    QTest::newRow("saved after its minute")
        << QList<Due>{due("late", "2026-12-06 09:30")} << QStringList() << "2026-12-06 10:02"
        << QStringList{"late"};
    QTest::newRow("the present minute is the live check's")
        << QList<Due>{due("now", "2026-12-06 10:02"), due("later", "2026-12-06 10:03")}
        << QStringList() << "2026-12-06 10:02" << QStringList();
    QTest::newRow("clock set back across midnight")
        << QList<Due>{due("shown", "2026-12-05 23:50"), due("not yet", "2026-12-05 23:58")}
        << QStringList{"shown"} << "2026-12-05 23:53" << QStringList();
    QTest::newRow("the same line twice is told once")
        << QList<Due>{due("twin", "2026-12-06 07:00"), due("twin", "2026-12-06 07:00")}
        << QStringList() << "2026-12-06 08:00" << QStringList{"twin"};
    QTest::newRow("before the horizon")
        << QList<Due>{due("old", "2026-11-05 09:59"), due("edge", "2026-11-06 10:00")}
        << QStringList() << "2026-12-06 10:00" << QStringList{"edge"};
    QTest::newRow("not a due time") << QList<Due>{{"x", "2026-12-06 7:00"}} << QStringList()
                                    << "2026-12-06 10:00" << QStringList();
}

void TestReminderWatch::neverRemindedIsToldOnce()
{
    QFETCH(QList<Due>, records);
    QFETCH(QStringList, reminded);
    QFETCH(QString, now);
    QFETCH(QStringList, told);
    QTemporaryDir dir;
    ReminderJournal journal(dir.path());
    for (const Due &record : records)
        if (reminded.contains(record.key.section(u',', 0, 0)))
            journal.remind(record.key, ReminderJournal::How::Popup, at(record.dueTime));
    const QString horizon = ReminderWatch::horizon({}, at(now), 30);
    QStringList parts;
    for (const Due &record : ReminderWatch::neverReminded(records, journal, horizon, at(now)))
        parts << record.key.section(u',', 0, 0);
    QCOMPARE(parts, told);
}

void TestReminderWatch::horizonIsTheSpanOrWhenWatchingBegan()
{
    const QDateTime now = at("2026-12-06 10:00");
    QCOMPARE(ReminderWatch::horizon({}, now, 30), QStringLiteral("2026-11-06 10:00"));
    QCOMPARE(ReminderWatch::horizon("2026-11-20 08:00", now, 30),
             QStringLiteral("2026-11-20 08:00"));
    QCOMPARE(ReminderWatch::horizon("2026-10-01 08:00", now, 2),
             QStringLiteral("2026-12-04 10:00"));
}

void TestReminderWatch::scanFindsTheSpansRecordsInTheFile_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QStringList>("parts");
    // Within a month, across a year's end (each month's text searched for) and over more months
    // than are searched for (every line walked).
    QTest::newRow("two days") << "2026-12-04 10:00"
                              << "2026-12-06 10:00" << QStringList{"一号楼", "二号楼"};
    QTest::newRow("three months") << "2026-11-30 23:59"
                                  << "2027-01-02 00:00"
                                  << QStringList{"十一月", "早", "一号楼", "二号楼", "晚", "元旦"};
    QTest::newRow("a year") << "2026-01-01 00:00"
                            << "2027-01-01 23:59"
                            << QStringList{"十一月", "早", "一号楼", "二号楼", "晚"};
}

void TestReminderWatch::scanFindsTheSpansRecordsInTheFile()
{
    QFETCH(QString, from);
    QFETCH(QString, before);
    QFETCH(QStringList, parts);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.bz"));
    QList<QStringList> table;
    for (const auto &[part, dueTime] : std::initializer_list<std::pair<const char *, const char *>>{
             {"去年", "2025-12-04 10:00"},
             {"十一月", "2026-11-30 23:59"},
             {"早", "2026-12-04 09:59"},
             {"一号楼", "2026-12-04 10:00"},
             {"手写", "2026-12-5 08:00"},
             {"二号楼", "2026-12-06 09:59"},
             {"晚", "2026-12-06 10:00"},
             {"元旦", "2027-01-01 23:59"},
             {"次日", "2027-01-02 00:00"}})
        table << sample(QString::fromUtf8(part), QString::fromLatin1(dueTime)).fields();
    table[3][SpecimenRecord::DueMark] = SpecimenRecord::dueMarkText(); // never part of the key
    table << QStringList(11);
    makeRecordFile(path, table);
    const ReminderWatch::Scan scan = ReminderWatch::scanDue(path, from, before);
    QCOMPARE(scan.error, QString());
    QList<Due> expected;
    for (const QStringList &fields : std::as_const(table)) {
        if (parts.contains(fields.value(0)))
            expected << due(fields[0], fields[SpecimenRecord::DueTime]);
    }
    QCOMPARE(scan.records, expected);
}

QTEST_GUILESS_MAIN(TestReminderWatch)
#include "tst_reminderwatch.moc"
