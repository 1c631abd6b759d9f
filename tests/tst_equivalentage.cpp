#include "dueestimates.h"
#include "duetime.h"
#include "equivalentage.h"
#include "fakes.h"
#include "filelock.h"
#include "recordbackups.h"
#include "reminderengine.h"
#include "temperaturelog.h"
#include "temperaturetexts.h"
#include "testfiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QDateTime kMaking(QDate(2026, 11, 1), QTime(8, 30));

// Means written as ranges of days, "0..4=-2;5..40=20", counted from the making date.
EquivalentAge::Means meansOf(const QString &ranges, const QDate &first)
{
    EquivalentAge::Means means;
    for (const QString &part : ranges.split(u';', Qt::SkipEmptyParts)) {
        const QStringList range = part.section(u'=', 0, 0).split(QStringLiteral(".."));
        for (int day = range[0].toInt(); day <= range[1].toInt(); ++day)
            means.insert(first.addDays(day), part.section(u'=', 1).toDouble());
    }
    return means;
}

QString recordLine(const QString &part, const QDateTime &made, const QString &age,
                   const QString &due)
{
    return QStringLiteral("%1,C30,P-01,%2,%3,%4,同级养护,1,3,,")
        .arg(part, made.toString(QStringLiteral("yyyy-M-d hh:mm")), age, due);
}
} // namespace

// The equivalent curing age: the estimate, the temperature record it reads, and the due times
// it moves in a.bz.
class TestEquivalentAge : public QObject
{
    Q_OBJECT

private slots:
    void estimate_data();
    void estimate();
    void temperatureFileNamesBadLinesAndKeepsThem();
    void movedEstimateRewritesOnlyItsDueTimeUnderTheLock();
};

void TestEquivalentAge::estimate_data()
{
    QTest::addColumn<QString>("means");
    QTest::addColumn<int>("today"); // days after the making date
    QTest::addColumn<int>("dueDays");
    QTest::addColumn<QString>("note");
    const auto measured = [](const char *sum) {
        return QStringLiteral("已累计 %1℃·d，到期时间按实测温度").arg(QLatin1String(sum));
    };
    const auto estimated = [](const char *sum) {
        return QStringLiteral("已累计 %1℃·d，到期时间为估计").arg(QLatin1String(sum));
    };
    QTest::newRow("steady 20 ℃: 30 days") << "0..40=20" << 40 << 30 << measured("600");
    QTest::newRow("5 ℃: bounded at 60") << "0..70=5" << 70 << 60 << measured("300");
    QTest::newRow("50 ℃: bounded at 14") << "0..10=50" << 10 << 14 << estimated("550");
    QTest::newRow("days at 0 ℃ or below skipped")
        << "0..3=-2;4..4=0;5..40=20" << 40 << 35 << measured("600");
    // The last 7 recorded days (25 ℃) stand in for the days missing since and those ahead.
    QTest::newRow("gaps filled by the recent mean")
        << "0..2=10;3..9=25" << 20 << 26 << estimated("205");
    QTest::newRow("a cold spell ahead counts at the bound")
        << "0..9=-5" << 9 << 70 << estimated("0");
    QTest::newRow("decimals reach 600") << "0..40=18.75" << 40 << 32 << measured("600");
    QTest::newRow("no temperature: 28 days") << "" << 5 << 28 << "无温度记录，按28天估计";
    QTest::newRow("only before the making date: 28 days")
        << "-10..-1=20" << 5 << 28 << "无温度记录，按28天估计";
}

void TestEquivalentAge::estimate()
{
    QFETCH(QString, means);
    QFETCH(int, today);
    QFETCH(int, dueDays);
    QFETCH(QString, note);
    const EquivalentAge::Estimate estimate = EquivalentAge::estimate(
        kMaking, meansOf(means, kMaking.date()), kMaking.date().addDays(today));
    QCOMPARE(estimate.dueText(), TimeText::minute(kMaking.addDays(dueDays)));
    QCOMPARE(estimate.note(), note);
    QCOMPARE(DueTime::makingTime(QStringLiteral("2026-11-1 8:30")), kMaking);
}

void TestEquivalentAge::temperatureFileNamesBadLinesAndKeepsThem()
{
    QTemporaryDir dir;
    const TemperatureLog log(dir.path());
    const QStringList lines{"日期,日平均温度",
                            "2026-12-01,20",
                            "2026-12-02,２０.５",
                            "2026/12/3,－3",
                            "2026-12-04",
                            "2026-13-01,20",
                            "2026-12-05,暖",
                            "2026-12-06,99",
                            "",
                            "2026-12-01,18℃",
                            "\"2026-12-08\",\"7\",,"};
    writeFile(log.path(), gbk(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    const TemperatureLog::Reading read = log.read();
    QCOMPARE(read.error, QString());
    // A later line of a date wins.
    const EquivalentAge::Means means{{QDate(2026, 12, 1), 18},
                                     {QDate(2026, 12, 2), 20.5},
                                     {QDate(2026, 12, 3), -3},
                                     {QDate(2026, 12, 8), 7}};
    QCOMPARE(read.means, means);
    QList<qsizetype> numbers;
    QStringList reasons;
    for (const RecordCheck::Unreadable &bad : read.unreadable) {
        numbers << bad.line;
        reasons << bad.reason;
    }
    QCOMPARE(numbers, QList<qsizetype>({5, 6, 7, 8}));
    QCOMPARE(reasons,
             QStringList({TemperatureText::fieldCount(1), TemperatureText::badDate("2026-13-01"),
                          TemperatureText::badMean("暖"), TemperatureText::badMean("99")}));
    QCOMPARE(read.unreadable.first().start, QStringLiteral("2026-12-04"));

    // Recording replaces a date's line where it stands and appends a new one; the bad lines stay.
    QCOMPARE(log.record({{QDate(2026, 12, 1), 17.25}, {QDate(2026, 12, 9), -1.5}}), QString());
    QStringList expected = lines;
    expected[9] = QStringLiteral("2026-12-01,17.25");
    expected << QStringLiteral("2026-12-09,-1.5");
    QCOMPARE(readFile(log.path()),
             gbk(expected.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

void TestEquivalentAge::movedEstimateRewritesOnlyItsDueTimeUnderTheLock()
{
    QTemporaryDir dir;
    const QDateTime now(QDate(2026, 12, 11), QTime(9, 0));
    const QDateTime made = now.addDays(-40).addSecs(-30 * 60); // 08:30, 40 days ago
    const QString first = TimeText::minute(made.addDays(28));
    const QStringList lines{
        recordLine("A梁", made, "600℃·d", first),
        recordLine("B梁", made, "28", TimeText::minute(now.addDays(5))),
        recordLine("C梁", made, "600℃·d", first), // reminded already: stays
    };
    const QString path = dir.filePath("a.bz");
    const QByteArray before = gbk(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    writeFile(path, before);
    QCOMPARE(ReminderJournal(dir.path())
                 .remind(ReminderJournal::keyOf(lines[2]), ReminderJournal::How::Popup,
                         made.addDays(28)),
             QString());
    EquivalentAge::Means means;
    for (QDate day = made.date(); day < now.date(); day = day.addDays(1))
        means.insert(day, 20);
    QCOMPARE(TemperatureLog(dir.path()).record(means), QString());

    FakeClock clock(now);
    RecordingMessages messages;
    {
        const FileLock other(path, QStringLiteral("记录文件"), 0);
        ReminderJournal journal(dir.path());
        const DueEstimates::Outcome held =
            DueEstimates::update(RecordStore(path, 0), means, journal, now);
        QCOMPARE(held.problems.size(), 1);
        QVERIFY(held.moved.isEmpty());
        QCOMPARE(readFile(path), before);
    }
    RecordBackups backups(dir.path(), &clock, &messages);
    ReminderEngine engine(dir.path(), &clock, &messages);
    engine.setBackups(&backups);
    QSignalSpy missed(&engine, &ReminderEngine::missed);
    engine.reload();
    // At 30 days, ten days ago: listed as missed with the others.
    const QString moved = TimeText::minute(made.addDays(30));
    QCOMPARE(readFile(path), QByteArray(before).replace(
                                 gbk(lines[0]), gbk(recordLine("A梁", made, "600℃·d", moved))));
    QCOMPARE(backups.list().size(), 1);
    QCOMPARE(missed.size(), 1);
    QVERIFY(missed.first().first().toString().contains(moved));
    QTRY_COMPARE(messages.shown.size(), 1);
    QVERIFY(messages.shown.first().text.contains(QStringLiteral("A梁") + QStringLiteral("，")));
    QVERIFY(messages.shown.first().text.contains(first + QStringLiteral(" 改为 ") + moved));
    QVERIFY(!messages.shown.first().text.contains(QStringLiteral("C梁")));
}

QTEST_GUILESS_MAIN(TestEquivalentAge)
#include "tst_equivalentage.moc"
