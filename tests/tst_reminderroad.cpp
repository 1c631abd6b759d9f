// The whole road of a reminder with the real popup program: the monitor marks the rows due this
// minute, the dispatcher fills their slots and starts vexa, and every vexa claims a slot of its
// own.
#include "fakes.h"
#include "form1.h"
#include "handoff.h"
#include "profilefile.h"
#include "recordfile.h"
#include "recordgridmodel.h"
#include "reminderdispatcher.h"
#include "reminderslots.h"
#include "specimenrecord.h"
#include "testfiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Waits until every slot's flag reads value; false on timeout.
bool waitForFlags(const QString &ini, const QStringList &slotNames, const QString &value)
{
    return QTest::qWaitFor(
        [&] {
            for (const QString &slot : slotNames) {
                if (ReadIniValue(slot, QStringLiteral("是否显示"), ini) != value)
                    return false;
            }
            return true;
        },
        30000);
}

// Waits for a slot held by a popup and returns its name and the record part it shows, so that a
// popup showing another record than its own is seen.
QString partShownOnceClaimed(const QString &ini)
{
    QString shown;
    // On time-out nothing is shown, and the caller's comparison says so.
    const bool claimed = QTest::qWaitFor(
        [&] {
            for (const QString &slot : ListIniSections(ini)) {
                if (ReadIniValue(slot, QStringLiteral("是否显示"), ini) == QLatin1String("1")) {
                    shown = slot + QLatin1Char(' ') +
                            ReadIniValue(slot, QStringLiteral("工程部位"), ini);
                    return true;
                }
            }
            return false;
        },
        30000);
    return claimed ? shown : QString();
}
} // namespace

class TestReminderRoad : public QObject
{
    Q_OBJECT

private slots:
    void threeRowsDueTogetherGetThreePopups();
    void nextPopupShowsItsOwnRecord();
    void slowPopupStillTakesItsOwnSlot();
    void popupThatDiesBeforeClaimingIsReported();

private:
    struct Road
    {
        QTemporaryDir dir;
        FakeClock clock{QDateTime(QDate(2026, 12, 6), QTime(9, 5, 2))};
        RecordingMessages messages;
        QString ini() const { return dir.filePath(QStringLiteral("vexa.ini")); }
    };
    ReminderDispatcher *dispatcher(Road &road, const QString &program);
};

ReminderDispatcher *TestReminderRoad::dispatcher(Road &road, const QString &program)
{
    ManagerServices services{road.dir.path(), &road.clock, &road.messages, program};
    auto *d = new ReminderDispatcher(
        services, [] { return 15 * 1080; }, this);
    if (!ReminderSlots(road.ini()).reset(3).ok)
        return nullptr;
    return d;
}

void TestReminderRoad::threeRowsDueTogetherGetThreePopups()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString due = QStringLiteral("2026-12-06 09:05");
    makeRecordFile(dir.filePath(QStringLiteral("a.bz")),
                   {sample(QStringLiteral("甲"), due).fields(),
                    sample(QStringLiteral("乙"), QStringLiteral("2026-12-06 11:00")).fields(),
                    sample(QStringLiteral("丙"), due).fields(),
                    sample(QStringLiteral("丁"), due).fields(), QStringList(11)});
    // Each popup closes itself after a while, as if the technician had read it.
    qputenv(Handoff::QuitAfterVariable, "4000");

    FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(9, 5, 2)));
    RecordingMessages messages;
    ManagerServices services{dir.path(), &clock, &messages, QStringLiteral(VEXA_PATH)};
    Form1 window(services);
    window.Form_Load();
    window.timer1()->stop(); // the test drives the checks itself
    window.Timer1_Timer();

    QCOMPARE(window.grid()->textMatrix(1, 11), SpecimenRecord::dueMarkText());
    QCOMPARE(window.grid()->textMatrix(2, 11), QString());
    // No exchange file existed: the dispatcher made one, and no message interrupted the user.
    const QString ini = dir.filePath(QStringLiteral("vexa.ini"));
    QVERIFY(QFile::exists(ini));
    QVERIFY(messages.shown.isEmpty());

    // Three popups, three distinct slots, each holding its own record, upper row first.
    const QStringList claimed = {QStringLiteral("1|1"), QStringLiteral("1|2"),
                                 QStringLiteral("1|3")};
    QVERIFY(waitForFlags(ini, claimed, QStringLiteral("1")));
    QCOMPARE(ReadIniValue(claimed[0], QStringLiteral("工程部位"), ini), QStringLiteral("甲"));
    QCOMPARE(ReadIniValue(claimed[1], QStringLiteral("工程部位"), ini), QStringLiteral("丙"));
    QCOMPARE(ReadIniValue(claimed[2], QStringLiteral("工程部位"), ini), QStringLiteral("丁"));

    // Closing the popups frees their slots.
    QVERIFY(waitForFlags(ini, claimed, QStringLiteral("0")));

    // A later check in the same minute dispatches nothing more.
    clock.advanceSeconds(5);
    const QByteArray before = [&] {
        QFile f(ini);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    window.Timer1_Timer();
    QFile after(ini);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
}

void TestReminderRoad::nextPopupShowsItsOwnRecord()
{
    // The first record's popup is read and closed before the next record falls due.
    Road road;
    ReminderDispatcher *d = dispatcher(road, QStringLiteral(VEXA_PATH));
    QVERIFY(d);
    QSignalSpy notShown(d, &ReminderDispatcher::reminderNotShown);
    qputenv(Handoff::QuitAfterVariable, "2000");
    QCOMPARE(d->dispatch(sample(QStringLiteral("一号")).cells()).slot, QStringLiteral("1|1"));
    QCOMPARE(partShownOnceClaimed(road.ini()), QStringLiteral("1|1 一号"));
    QVERIFY(waitForFlags(road.ini(), {QStringLiteral("1|1")}, QStringLiteral("0")));

    qputenv(Handoff::QuitAfterVariable, "8000");
    road.clock.advanceSeconds(60);
    d->dispatch(sample(QStringLiteral("二号")).cells());
    QCOMPARE(partShownOnceClaimed(road.ini()).section(QLatin1Char(' '), 1), QStringLiteral("二号"));
    QTRY_COMPARE_WITH_TIMEOUT(d->watchedCount(), 0, 30000);
    QCOMPARE(notShown.size(), 0);
}

void TestReminderRoad::slowPopupStillTakesItsOwnSlot()
{
#ifndef Q_OS_UNIX
    QSKIP("the slow popup is a shell script around vexa");
#else
    // A popup that takes three seconds to start, while the older one closes meanwhile.
    Road road;
    const QString slow = road.dir.filePath(QStringLiteral("slow-vexa"));
    QFile script(slow);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nsleep \"${SLOW_VEXA_DELAY:-0}\"\nexec '" VEXA_PATH "'\n");
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
    ReminderDispatcher *d = dispatcher(road, slow);
    QVERIFY(d);
    QSignalSpy notShown(d, &ReminderDispatcher::reminderNotShown);

    qputenv("SLOW_VEXA_DELAY", "0");
    qputenv(Handoff::QuitAfterVariable, "1500");
    QCOMPARE(d->dispatch(sample(QStringLiteral("旧")).cells()).slot, QStringLiteral("1|1"));
    QCOMPARE(partShownOnceClaimed(road.ini()), QStringLiteral("1|1 旧"));

    qputenv("SLOW_VEXA_DELAY", "3");
    qputenv(Handoff::QuitAfterVariable, "6000");
    QCOMPARE(d->dispatch(sample(QStringLiteral("新")).cells()).slot, QStringLiteral("1|2"));
    // The old popup closes while the new one is still starting.
    QVERIFY(waitForFlags(road.ini(), {QStringLiteral("1|1")}, QStringLiteral("0")));
    QCOMPARE(partShownOnceClaimed(road.ini()), QStringLiteral("1|2 新"));
    QCOMPARE(ReadIniValue(QStringLiteral("1|1"), QStringLiteral("是否显示"), road.ini()),
             QStringLiteral("0"));
    QTRY_COMPARE_WITH_TIMEOUT(d->watchedCount(), 0, 30000);
    QCOMPARE(notShown.size(), 0);
    qunsetenv("SLOW_VEXA_DELAY");
#endif
}

void TestReminderRoad::popupThatDiesBeforeClaimingIsReported()
{
    // A damaged copy of vexa: it starts, and dies before it claims anything.
    Road road;
    QFile good(QStringLiteral(VEXA_PATH));
    QVERIFY(good.open(QIODevice::ReadOnly));
    QFile damaged(road.dir.filePath(QStringLiteral("vexa-damaged")));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(good.read(1000));
    damaged.close();
    QVERIFY(damaged.setPermissions(damaged.permissions() | QFile::ExeOwner));

    ReminderDispatcher *d = dispatcher(road, damaged.fileName());
    QVERIFY(d);
    QSignalSpy notShown(d, &ReminderDispatcher::reminderNotShown);
    d->dispatch(sample(QStringLiteral("坏")).cells());
    QTRY_COMPARE_WITH_TIMEOUT(notShown.size(), 1, 30000);
    const QString message = notShown.first().first().toString();
    QVERIFY2(message.contains(QStringLiteral("坏")), qPrintable(message));
    QCOMPARE(d->watchedCount(), 0);
}

QTEST_MAIN(TestReminderRoad)
#include "tst_reminderroad.moc"
