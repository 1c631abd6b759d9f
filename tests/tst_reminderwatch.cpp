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

void TestReminderWatch::scanFindsTheSpansRecordsInTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.bz"));
    QList<QStringList> table{
        sample(QStringLiteral("早"), QStringLiteral("2026-12-04 09:59")).fields(),
        sample(QStringLiteral("一号楼"), QStringLiteral("2026-12-04 10:00")).fields(),
        sample(QStringLiteral("手写"), QStringLiteral("2026-12-5 08:00")).fields(),
        sample(QStringLiteral("二号楼"), QStringLiteral("2026-12-06 09:59")).fields(),
        sample(QStringLiteral("晚"), QStringLiteral("2026-12-06 10:00")).fields(),
        QStringList(11)};
    table[1][SpecimenRecord::DueMark] = QStringLiteral("到期"); // never part of the key
    QVERIFY(RecordFile(path).writeTable(table).ok);
    const ReminderWatch::Scan scan = ReminderWatch::scanDue(
        path, QStringLiteral("2026-12-04 10:00"), QStringLiteral("2026-12-06 10:00"));
    QCOMPARE(scan.error, QString());
    const QList<Due> expected{due("一号楼", "2026-12-04 10:00"), due("二号楼", "2026-12-06 09:59")};
    QCOMPARE(scan.records, expected);
}

QTEST_GUILESS_MAIN(TestReminderWatch)
#include "tst_reminderwatch.moc"
