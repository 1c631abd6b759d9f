#include "equivalentage.h"
#include "fakes.h"
#include "temperaturelog.h"
#include "temperaturetexts.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
const QDateTime kMaking(QDate(2026, 11, 1), QTime(8, 30));

// Means from a spec such as "0..4=-2;5..40=20": days counted from the making date.
EquivalentAge::Means meansOf(const QString &spec, const QDate &first)
{
    EquivalentAge::Means means;
    for (const QString &part : spec.split(u';', Qt::SkipEmptyParts)) {
        const QStringList range = part.section(u'=', 0, 0).split(QStringLiteral(".."));
        for (int day = range[0].toInt(); day <= range[1].toInt(); ++day)
            means.insert(first.addDays(day), part.section(u'=', 1).toDouble());
    }
    return means;
}

} // namespace

// The equivalent curing age: the estimate and the temperature record it reads.
class TestEquivalentAge : public QObject
{
    Q_OBJECT

private slots:
    void estimate_data();
    void estimate();
    void temperatureFileNamesBadLinesAndKeepsThem();
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
    QCOMPARE(EquivalentAge::makingTime(QStringLiteral("2026-11-1 8:30")), kMaking);
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

QTEST_GUILESS_MAIN(TestEquivalentAge)
#include "tst_equivalentage.moc"
