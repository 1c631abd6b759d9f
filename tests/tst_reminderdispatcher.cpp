#include "enginetexts.h"
#include "fakes.h"
#include "handoff.h"
#include "profilefile.h"
#include "reminderdispatcher.h"
#include "reminderslots.h"
#include "testfiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// The cells of the sample record in row number of the main window, works part "number#楼梁".
QStringList row(int number, const QString &remark = {})
{
    return sample(QStringLiteral("%1#楼梁").arg(number))
        .with(SpecimenRecord::Number, QString::number(number))
        .with(SpecimenRecord::Remark, remark)
        .cells();
}
} // namespace

class TestReminderDispatcher : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void freshInstallMakesTheSlotsThenFills();
    void rowsDueTogetherGetTheirOwnSlots();
    void reservationEndsWhenClaimedOrStale();
    void textGbkCannotHoldIsSpelledOut();
    void popupThatCannotStartIsReportedElsewhere();
    void noFreeSlotIsReportedAndNothingWritten();
    void heldLockQueuesTheRecords();
    void clockSetDuringTheWaitChangesNothing();
    void slotsHeldByLivePopupsAreNamedAsSuch();
    void receiptFolderRemovedIsMadeAgain();

private:
    ReminderDispatcher *make();
    QString ini() const { return m_dir->filePath(QStringLiteral("vexa.ini")); }

    QTemporaryDir *m_dir = nullptr;
    FakeClock m_clock{QDateTime(QDate(2026, 12, 6), QTime(9, 5, 3))};
    RecordingMessages m_messages;
    QStringList m_launched;
    QList<ReminderDispatcher::Launch> m_launches;
    bool m_launchWorks = true;
    bool m_popupClaims = false; // the started popup claims its slot at once
    ReminderDispatcher *m_dispatcher = nullptr;
};

void TestReminderDispatcher::init()
{
    m_dir = new QTemporaryDir;
    m_launched.clear();
    m_launches.clear();
    m_launchWorks = true;
    m_popupClaims = false;
}

void TestReminderDispatcher::cleanup()
{
    delete m_dispatcher;
    m_dispatcher = nullptr;
    delete m_dir;
}

ReminderDispatcher *TestReminderDispatcher::make()
{
    ManagerServices services{m_dir->path(), &m_clock, &m_messages,
                             QStringLiteral("/opt/tarvelin/vexa")};
    m_dispatcher = new ReminderDispatcher(services, [] { return 768 * 15; });
    m_dispatcher->setLauncher([this](const ReminderDispatcher::Launch &launch) {
        m_launched << launch.program + QLatin1Char('|') + launch.dataFolder;
        m_launches << launch;
        if (m_popupClaims) {
            ProfileFile(ini()).write(launch.slot, ReminderSlots::flagKey(), QStringLiteral("1"));
            writeFile(launch.receiptFile, Handoff::receipt(launch.slot));
        }
        return m_launchWorks ? QCoreApplication::applicationPid() : 0;
    });
    return m_dispatcher;
}

void TestReminderDispatcher::freshInstallMakesTheSlotsThenFills()
{
    ReminderDispatcher *d = make();
    const auto result = d->dispatch(row(1));
    QCOMPARE(result.slot, QStringLiteral("1|1"));
    QVERIFY(result.popupStarted);
    QCOMPARE(m_launched, QStringList({QStringLiteral("/opt/tarvelin/vexa|") + m_dir->path()}));
    // A 768-pixel screen gives three rows per layer.
    QCOMPARE(ListIniSections(ini()).size(), 15);

    const QByteArray bytes = readFile(ini());
    const QByteArray expectedSlot = gbk(QStringLiteral(
        "[1|1]\r\n是否显示=0\r\n编号=1\r\n工程部位=1#楼梁\r\n强度等级=C30\r\n配合比编号=P-01\r\n"
        "制作日期=2026-12-1 08:30\r\n龄期=28\r\n养护方式=标准养护\r\n到期时间=2026-12-29 08:30\r\n"
        "工程量=12\r\n组数=3\r\n备注=\r\n[1|2]\r\n"));
    QVERIFY2(bytes.startsWith(expectedSlot), bytes.left(400).constData());
    // The flag is left for the popup to claim.
    QCOMPARE(ReadIniValue(QStringLiteral("1|1"), ReminderSlots::flagKey(), ini()),
             QStringLiteral("0"));
}

void TestReminderDispatcher::rowsDueTogetherGetTheirOwnSlots()
{
    ReminderDispatcher *d = make();
    QCOMPARE(d->dispatch(row(1)).slot, QStringLiteral("1|1"));
    QCOMPARE(d->dispatch(row(2)).slot, QStringLiteral("1|2"));
    QCOMPARE(d->dispatch(row(3)).slot, QStringLiteral("1|3"));
    QCOMPARE(m_launched.size(), 3);
    for (int row = 1; row <= 3; ++row) {
        QCOMPARE(ReadIniValue(QStringLiteral("1|%1").arg(row), QStringLiteral("编号"), ini()),
                 QString::number(row));
    }
}

void TestReminderDispatcher::reservationEndsWhenClaimedOrStale()
{
    ReminderDispatcher *d = make();
    QCOMPARE(d->dispatch(row(1)).slot, QStringLiteral("1|1"));
    // Its popup claims the slot and the user closes it again; the popups are looked at again
    // after a quarter of a second.
    ProfileFile(ini()).write(QStringLiteral("1|1"), ReminderSlots::flagKey(), QStringLiteral("1"));
    m_clock.advanceSeconds(1);
    QCOMPARE(d->dispatch(row(2)).slot, QStringLiteral("1|2"));
    ProfileFile(ini()).write(QStringLiteral("1|1"), ReminderSlots::flagKey(), QStringLiteral("0"));
    QCOMPARE(d->dispatch(row(3)).slot, QStringLiteral("1|1"));

    // A popup that never came: after two minutes the slot is given out again.
    m_clock.advanceSeconds(121);
    QCOMPARE(d->dispatch(row(4)).slot, QStringLiteral("1|1"));
}

void TestReminderDispatcher::textGbkCannotHoldIsSpelledOut()
{
    ReminderDispatcher *d = make();
    const auto result = d->dispatch(row(1, QStringLiteral("养护😀ok")));
    QCOMPARE(result.slot, QStringLiteral("1|1"));
    QCOMPARE(ReadIniValue(QStringLiteral("1|1"), QStringLiteral("备注"), ini()),
             QStringLiteral("养护[U+1F600]ok"));
    QVERIFY(!readFile(ini()).contains('?'));
}

void TestReminderDispatcher::popupThatCannotStartIsReportedElsewhere()
{
    ReminderDispatcher *d = make();
    QSignalSpy spy(d, &ReminderDispatcher::reminderNotShown);
    m_launchWorks = false;
    const auto result = d->dispatch(row(7));
    QVERIFY(!result.popupStarted);
    QCOMPARE(spy.size(), 1);
    const QString message = spy.first().first().toString();
    QCOMPARE(message, EngineText::popupNotStarted(
                          QStringLiteral("/opt/tarvelin/vexa"),
                          QStringLiteral("编号 7，工程部位 7#楼梁，强度等级 C30，配合比编号 P-01，"
                                         "到期时间 2026-12-29 08:30")));

    // The real launcher refuses a program that is not there instead of searching PATH.
    QVERIFY(!ReminderDispatcher::startDetached(
        {m_dir->filePath(QStringLiteral("vexa")), m_dir->path(), {}, {}, {}}));
}

void TestReminderDispatcher::noFreeSlotIsReportedAndNothingWritten()
{
    ReminderDispatcher *d = make();
    QVERIFY(ReminderSlots(ini()).reset(1).ok);
    for (int layer = 1; layer <= 5; ++layer) {
        ProfileFile(ini()).write(QStringLiteral("%1|1").arg(layer), ReminderSlots::flagKey(),
                                 QStringLiteral("1"));
    }
    const QByteArray before = readFile(ini());
    QSignalSpy spy(d, &ReminderDispatcher::reminderNotShown);
    const auto result = d->dispatch(row(5));
    QVERIFY(result.slot.isEmpty());
    QCOMPARE(spy.size(), 1);
    // Held by no popup of this manager: left by popups that ended abnormally.
    QVERIFY(spy.first().first().toString().contains(EngineText::allSlotsTaken()));
    QCOMPARE(readFile(ini()), before);
    QVERIFY(m_launched.isEmpty());
}

void TestReminderDispatcher::heldLockQueuesTheRecords()
{
    ReminderDispatcher *d = make();
    QVERIFY(ReminderSlots(ini()).reset(3).ok);
    QSignalSpy notShown(d, &ReminderDispatcher::reminderNotShown);
    {
        // Another process holds the lock: the records wait, in order, and nothing is written.
        const ProfileFile::Lock held = ProfileFile(ini()).lock(0);
        QVERIFY(held.isLocked());
        QVERIFY(d->dispatch(row(1)).queued);
        QVERIFY(d->dispatch(row(2)).queued);
        d->poll();
        QCOMPARE(d->queuedCount(), 2);
        QVERIFY(m_launched.isEmpty());
    }
    // Let go: the next round hands both over, the first record first.
    d->poll();
    QCOMPARE(d->queuedCount(), 0);
    QCOMPARE(m_launched.size(), 2);
    QCOMPARE(ReadIniValue(QStringLiteral("1|1"), QStringLiteral("编号"), ini()),
             QStringLiteral("1"));
    QCOMPARE(ReadIniValue(QStringLiteral("1|2"), QStringLiteral("编号"), ini()),
             QStringLiteral("2"));

    // Their popups claim them.
    for (const char *slot : {"1|1", "1|2"})
        ProfileFile(ini()).write(QString::fromLatin1(slot), ReminderSlots::flagKey(),
                                 QStringLiteral("1"));

    // A lock that is never let go: the record is told another way, not dropped.
    const ProfileFile::Lock stuck = ProfileFile(ini()).lock(0);
    QVERIFY(d->dispatch(row(3)).queued);
    m_clock.advanceSeconds(ReminderDispatcher::LockGiveUpSeconds + 1);
    d->poll();
    QCOMPARE(d->queuedCount(), 0);
    QCOMPARE(notShown.size(), 1);
    QVERIFY(notShown.first().first().toString().contains(QStringLiteral("3#楼梁")));
}

// The deadline is time that passed, not a change of the time of day; a popup that comes after its
// record was listed is said in the list too.
void TestReminderDispatcher::clockSetDuringTheWaitChangesNothing()
{
    ReminderDispatcher *d = make();
    QSignalSpy notShown(d, &ReminderDispatcher::reminderNotShown);
    QSignalSpy cameAfterAll(d, &ReminderDispatcher::reminderShownAfterAll);
    QCOMPARE(d->dispatch(row(1)).slot, QStringLiteral("1|1"));
    m_clock.set(m_clock.now().addSecs(3600));
    d->poll();
    m_clock.set(m_clock.now().addSecs(-7200));
    d->poll();
    QCOMPARE(notShown.size(), 0);
    QCOMPARE(d->watchedCount(), 1);

    m_clock.advanceSeconds(ReminderDispatcher::ClaimDeadlineSeconds + 1);
    d->poll();
    QCOMPARE(notShown.size(), 1);
    // Its slot stays kept: the popup may still come.
    QCOMPARE(d->dispatch(row(2)).slot, QStringLiteral("1|2"));

    m_clock.advanceSeconds(10);
    writeFile(m_launches.first().receiptFile, Handoff::receipt(QStringLiteral("1|1")));
    d->poll();
    QCOMPARE(cameAfterAll.size(), 1);
    const QString said = cameAfterAll.first().first().toString();
    QCOMPARE(said, EngineText::popupCameAfterAll(41, QStringLiteral("1|1"),
                                                 SpecimenRecord::summary(row(1))));
    QCOMPARE(notShown.size(), 1);
}

void TestReminderDispatcher::slotsHeldByLivePopupsAreNamedAsSuch()
{
    ReminderDispatcher *d = make();
    QVERIFY(ReminderSlots(ini()).reset(1).ok);
    m_popupClaims = true;
    for (int record = 1; record <= 5; ++record)
        QVERIFY(d->dispatch(sample(QStringLiteral("楼"))
                                .with(SpecimenRecord::Number, QString::number(record))
                                .cells())
                    .popupStarted);
    d->poll();
    QCOMPARE(d->watchedCount(), 0);

    QSignalSpy notShown(d, &ReminderDispatcher::reminderNotShown);
    d->dispatch(row(6));
    QCOMPARE(notShown.size(), 1);
    const QString said = notShown.first().first().toString();
    QCOMPARE(said, EngineText::popupCannotShow(EngineText::allSlotsShowing(5),
                                               SpecimenRecord::summary(row(6))));
}

// A cleaner of the temporary folder takes the receipts folder away; the next popups still start.
void TestReminderDispatcher::receiptFolderRemovedIsMadeAgain()
{
#ifndef Q_OS_UNIX
    QSKIP("the stand-in popup is a shell script");
#else
    const QString popup = m_dir->filePath(QStringLiteral("popup.sh"));
    writeFile(popup, "#!/bin/sh\nprintf '%s\\n' \"$VEXA_SLOT\"\n");
    QVERIFY(QFile::setPermissions(popup, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    ManagerServices services{m_dir->path(), &m_clock, &m_messages, popup};
    m_dispatcher = new ReminderDispatcher(services, [] { return 768 * 15; });
    m_dispatcher->setLauncher([this](const ReminderDispatcher::Launch &launch) {
        m_launches << launch;
        return ReminderDispatcher::startDetached(launch);
    });
    QSignalSpy notShown(m_dispatcher, &ReminderDispatcher::reminderNotShown);
    for (int record = 1; record <= 2; ++record) {
        QVERIFY(m_dispatcher
                    ->dispatch(sample(QStringLiteral("楼"))
                                   .with(SpecimenRecord::Number, QString::number(record))
                                   .cells())
                    .popupStarted);
        QTRY_COMPARE_WITH_TIMEOUT(m_dispatcher->watchedCount(), 0, 10000);
        const QString folder = QFileInfo(m_launches.last().receiptFile).absolutePath();
        QVERIFY(QDir(folder).removeRecursively());
    }
    QCOMPARE(notShown.size(), 0);
#endif
}

QTEST_GUILESS_MAIN(TestReminderDispatcher)
#include "tst_reminderdispatcher.moc"
