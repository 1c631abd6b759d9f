#include "clockwatchers.h"
#include "fakes.h"
#include "monitorswitch.h"
#include "recordgridmodel.h"
#include "windowtexts.h"

#include <QAction>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using State = MonitorSwitch::State;
Q_DECLARE_METATYPE(MonitorSwitch::State)

class TestMonitorSwitch : public QObject
{
    Q_OBJECT

private slots:
    void menuFollowsTheState_data();
    void menuFollowsTheState();
    void minuteTimerMeetsEveryMinuteStart();
};

void TestMonitorSwitch::menuFollowsTheState_data()
{
    // Steps: "load" (the grid was loaded), "kq", "bg", "set N" (设置 with N, which the settings
    // window keeps), "text N" (the settings window holds N).
    QTest::addColumn<bool>("records");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<State>("state");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("switchedOn");
    QTest::addColumn<QString>("message"); // the last message

    const QStringList startUp{"load"};
    const QStringList stopped{"load", "bg"};
    QTest::newRow("start-up with records") << true << startUp << State::On << 5000 << 1 << "";
    QTest::newRow("start-up without records")
        << false << startUp << State::NoRecords << 0 << 0 << "";
    QTest::newRow("start without records fails")
        << false << QStringList{"load", "kq"} << State::NoRecords << 0 << 0
        << WindowText::monitorNotStarted();
    QTest::newRow("records later start it")
        << false << QStringList{"load", "records", "load"} << State::On << 5000 << 1 << "";
    QTest::newRow("stopped stays off when records load")
        << true << stopped + QStringList{"load"} << State::Stopped << 0 << 1
        << WindowText::monitorStopped();
    QTest::newRow("restart takes the present interval")
        << true << stopped + QStringList{"text 3000", "kq"} << State::On << 3000 << 2
        << WindowText::monitorStarted();
    QTest::newRow("settings restart a stopped monitor")
        << true << stopped + QStringList{"set 3000"} << State::On << 3000 << 2
        << WindowText::monitorStopped();
    QTest::newRow("settings start it without records")
        << false << QStringList{"load", "set 3000"} << State::On << 3000 << 1 << "";
    QTest::newRow("settings change the interval of a running monitor")
        << true << QStringList{"load", "set 2000ms"} << State::On << 2000 << 1 << "";
    QTest::newRow("settings of 0 stop it until started")
        << true << QStringList{"load", "set abc", "load"} << State::Stopped << 0 << 1 << "";
    QTest::newRow("unusable interval keeps the monitor")
        << true << QStringList{"load", "set 70000"} << State::On << 5000 << 1
        << WindowText::badInterval("70000", 5000);
    QTest::newRow("start refuses an interval of 0")
        << true << stopped + QStringList{"text 0", "kq"} << State::Stopped << 0 << 1
        << WindowText::zeroInterval();
    QTest::newRow("start refuses an unusable interval")
        << true << stopped + QStringList{"text -5", "kq"} << State::Stopped << 0 << 1
        << WindowText::badInterval("-5", 0);
}

void TestMonitorSwitch::menuFollowsTheState()
{
    QFETCH(bool, records);
    QFETCH(QStringList, steps);
    FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(9, 4, 30)));
    RecordingMessages messages;
    RecordGridModel grid(13);
    grid.setRows(records ? 3 : 2);
    QString interval = QStringLiteral("5000");
    QAction kq, bg;
    MonitorSwitch monitor(
        &grid, &clock, &messages, [&] { return interval; }, &kq, &bg, nullptr);
    QSignalSpy switchedOn(&monitor, &MonitorSwitch::switchedOn);

    for (const QString &step : steps) {
        const QString value = step.section(QLatin1Char(' '), 1);
        if (step == QLatin1String("load"))
            monitor.recordsLoaded();
        else if (step == QLatin1String("records"))
            grid.setRows(3);
        else if (step == QLatin1String("kq"))
            monitor.kq_Click();
        else if (step == QLatin1String("bg"))
            monitor.bg_Click();
        else if (step.startsWith(QLatin1String("set")))
            monitor.apply(interval = value);
        else
            interval = value;
        // Whatever happened, the menu and both timers tell the same.
        const bool on = monitor.isOn();
        QCOMPARE(kq.isEnabled(), !on);
        QCOMPARE(bg.isEnabled(), on);
        QCOMPARE(monitor.timer1()->isActive(), on);
        QCOMPARE(monitor.minuteTimer()->isActive(), on);
    }
    QTEST(monitor.state(), "state");
    QTEST(monitor.timer1()->interval(), "interval");
    QTEST(int(switchedOn.count()), "switchedOn");
    QFETCH(QString, message);
    if (message.isEmpty())
        QCOMPARE(messages.shown.size(), 0);
    else
        QCOMPARE(messages.lastText(), message);
}

void TestMonitorSwitch::minuteTimerMeetsEveryMinuteStart()
{
    FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(9, 4, 59, 800)));
    MinuteTimer timer(&clock);
    QSignalSpy started(&timer, &MinuteTimer::minuteStarted);
    timer.start();
    QCOMPARE(timer.interval(), 200);
    clock.set(QDateTime(QDate(2026, 12, 6), QTime(9, 5, 0, 3)));
    QTRY_COMPARE(started.count(), 1);
    QCOMPARE(timer.interval(), 59997);
}

QTEST_MAIN(TestMonitorSwitch)
#include "tst_monitorswitch.moc"
