#include "duecheck.h"
#include "fakes.h"
#include "journaltexts.h"
#include "reminderengine.h"
#include "testfiles.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <numeric>

namespace {
QDateTime at(int hour, int minute, int second = 0, int day = 6)
{
    return QDateTime(QDate(2026, 12, day), QTime(hour, minute, second));
}

QList<int> indexesOf(const QSignalSpy &spy)
{
    QList<int> indexes;
    for (const QList<QVariant> &call : spy)
        indexes << call.at(0).toInt();
    return indexes;
}
} // namespace

// The engine over a real a.bz and journal in a folder of its own: which of today's batches fall
// due at a check, and which are known as reminded after a reload or a restart.
class TestReminderEngine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void dueTimeText_data();
    void dueTimeText();
    void checksFindWhatFellDue_data();
    void checksFindWhatFellDue();
    void remindedStaysRemindedAcrossReloadAndRestart();
    void burstHandedOnInSlicesAndJournalledAsReminded();
    void journalThatCannotBeWrittenIsToldOnceAndCaughtUp();

private:
    void writeRecords(const QStringList &dueTimes);
    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingMessages m_messages;
};

void TestReminderEngine::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestReminderEngine::writeRecords(const QStringList &dueTimes)
{
    QStringList lines;
    for (int i = 0; i < dueTimes.size(); ++i)
        lines << QStringLiteral("梁%1,C30,P-01,2026-11-08 08:00,28,%2,标准养护,1,1,,")
                     .arg(i + 1)
                     .arg(dueTimes[i]);
    writeFile(m_dir->filePath(QStringLiteral("a.bz")), gbk(lines.join(QStringLiteral("\r\n"))));
}

void TestReminderEngine::dueTimeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("due time") << "2026-12-06 09:05" << true;
    QTest::newRow("no leading zero") << "2026-12-6 09:05" << false;
    QTest::newRow("seconds") << "2026-12-06 09:05:00" << false;
    QTest::newRow("letters") << "2026-12-06 0a:05" << false;
    QTest::newRow("empty") << "" << false;
}

void TestReminderEngine::dueTimeText()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(DueCheck::isDueTimeText(text), valid);
}

void TestReminderEngine::checksFindWhatFellDue_data()
{
    QTest::addColumn<QStringList>("dueTimes");
    // Each step: the clock at a time of day, then one check; restart() before a step marked so.
    QTest::addColumn<QList<QDateTime>>("checks");
    QTest::addColumn<QList<QList<int>>>("due"); // the batches each check hands on, upper first
    QTest::addColumn<QList<QList<int>>>("late"); // and those it lists as late
    const QList<int> none;
    const QList<QList<int>> noneLate{none, none, none};
    QTest::newRow("the first check sees the present minute only")
        << QStringList{"2026-12-06 09:04", "2026-12-06 09:05", "2026-12-06 09:06",
                       "2026-12-06 9:05"}
        << QList<QDateTime>{at(9, 5, 59)} << QList<QList<int>>{{1}} << noneLate;
    QTest::newRow("a batch falls due once")
        << QStringList{"2026-12-06 09:05"} << QList<QDateTime>{at(9, 5, 0), at(9, 5, 5)}
        << QList<QList<int>>{{0}, none} << noneLate;
    QTest::newRow("batches due together come upper first")
        << QStringList{"2026-12-06 09:05", "2026-12-06 10:00", "2026-12-06 09:05",
                       "2026-12-06 09:05"}
        << QList<QDateTime>{at(9, 5, 30)} << QList<QList<int>>{{0, 2, 3}} << noneLate;
    // The next check comes five minutes late (a suspended laptop, the clock moved forward): what
    // fell due in the minutes between is late, and listed as the catch-up lists; the present
    // minute's batch pops up.
    QTest::newRow("a late check lists what it finds late")
        << QStringList{"2026-12-06 09:05", "2026-12-06 09:06", "2026-12-06 09:09",
                       "2026-12-06 09:10"}
        << QList<QDateTime>{at(9, 4, 58), at(9, 9, 10), at(9, 10, 0)}
        << QList<QList<int>>{none, {2}, {3}} << QList<QList<int>>{none, {0, 1}, none};
    // The system clock was set back: only the minute it now shows is due.
    QTest::newRow("a clock set back does not fire everything")
        << QStringList{"2026-12-06 08:00", "2026-12-06 08:30"}
        << QList<QDateTime>{at(9, 0), at(8, 30, 5)} << QList<QList<int>>{none, {1}} << noneLate;
}

void TestReminderEngine::checksFindWhatFellDue()
{
    QFETCH(QStringList, dueTimes);
    QFETCH(QList<QDateTime>, checks);
    QFETCH(QList<QList<int>>, due);
    QFETCH(QList<QList<int>>, late);
    writeRecords(dueTimes);
    FakeClock clock(checks.first());
    ReminderEngine engine(m_dir->path(), &clock, &m_messages);
    engine.load();
    QCOMPARE(engine.today().size(), dueTimes.size());
    QSignalSpy fell(&engine, &ReminderEngine::fellDue);
    QSignalSpy passed(&engine, &ReminderEngine::markedPassed);
    QSignalSpy missed(&engine, &ReminderEngine::missed);
    for (int i = 0; i < checks.size(); ++i) {
        clock.set(checks[i]);
        fell.clear();
        passed.clear();
        missed.clear();
        engine.check();
        QCOMPARE(indexesOf(fell), due[i]);
        QCOMPARE(passed.isEmpty() ? QList<int>() : passed.first().first().value<QList<int>>(),
                 late[i]);
        QCOMPARE(missed.size(), late[i].size());
        for (int index : due[i] + late[i])
            QVERIFY(engine.isReminded(index));
    }
}

void TestReminderEngine::remindedStaysRemindedAcrossReloadAndRestart()
{
    writeRecords({"2026-12-06 09:05", "2026-12-06 09:10"});
    FakeClock clock(at(9, 5, 10));
    {
        ReminderEngine engine(m_dir->path(), &clock, &m_messages);
        engine.load();
        engine.check();
        QVERIFY(engine.isReminded(0));
        engine.load(); // "读取数据"
        QVERIFY(engine.isReminded(0));
        QVERIFY(!engine.isReminded(1));
        // Switched off and on: the marked batch stays quiet.
        QSignalSpy fell(&engine, &ReminderEngine::fellDue);
        engine.resume();
        engine.check();
        QVERIFY(fell.isEmpty());
    }
    // The next start, minutes later, knows it from the journal: no second popup, not missed.
    clock.set(at(9, 7, 40));
    ReminderEngine engine(m_dir->path(), &clock, &m_messages);
    engine.load();
    QVERIFY(engine.isReminded(0));
    QVERIFY(!engine.isReminded(1));
    QSignalSpy fell(&engine, &ReminderEngine::fellDue);
    QSignalSpy missed(&engine, &ReminderEngine::missed);
    engine.setMonitoring([] { return ReminderEngine::Monitoring::On; });
    engine.reload();
    engine.resume();
    engine.check();
    QVERIFY(fell.isEmpty());
    QVERIFY(missed.isEmpty());
    QVERIFY(m_messages.shown.isEmpty());
}

void TestReminderEngine::burstHandedOnInSlicesAndJournalledAsReminded()
{
    // 120 batches due at 09:05 and 120 at 09:06, each taking the road a millisecond: a check
    // hands on a slice and returns, the event loop (or a reload) the rest, each batch once and in
    // order. The road pops up the even ones and lists the odd ones, and the journal says so.
    constexpr int kDue = 120;
    writeRecords(QStringList(kDue, QStringLiteral("2026-12-06 09:05")) +
                 QStringList(kDue, QStringLiteral("2026-12-06 09:06")));
    FakeClock clock(at(9, 4, 50));
    ReminderEngine engine(m_dir->path(), &clock, &m_messages);
    engine.load();
    engine.check();
    QList<int> handed;
    engine.setRoad([&handed](int index) {
        handed << index;
        QElapsedTimer busy;
        busy.start();
        while (busy.elapsed() < 1) {
        }
        return index % 2 == 0 ? ReminderJournal::How::Popup : ReminderJournal::How::List;
    });
    QList<int> expected(2 * kDue);
    std::iota(expected.begin(), expected.end(), 0);

    clock.set(at(9, 5, 2));
    engine.check();
    QVERIFY(engine.pendingCount() > 0);
    QVERIFY(handed.size() < kDue);
    QTRY_COMPARE(engine.pendingCount(), 0);
    QCOMPARE(handed, expected.mid(0, kDue));

    clock.set(at(9, 6, 2));
    engine.check();
    QVERIFY(engine.pendingCount() > 0);
    engine.load(); // "读取数据" before the event loop turns
    QCOMPARE(engine.pendingCount(), 0);
    QCOMPARE(handed, expected);

    ReminderJournal journal(m_dir->path());
    journal.loadAll();
    for (int i = 0; i < 2 * kDue; ++i) {
        QVERIFY(engine.isReminded(i));
        const ReminderJournal::Entry *entry = journal.find(engine.today().at(i).line());
        QVERIFY(entry);
        QCOMPARE(entry->how, i % 2 == 0 ? ReminderJournal::How::Popup : ReminderJournal::How::List);
    }
    QVERIFY(m_messages.shown.isEmpty());
}

void TestReminderEngine::journalThatCannotBeWrittenIsToldOnceAndCaughtUp()
{
    // A file where the journal's folder belongs: no entry can be written. Three reminders say so
    // once; once the folder can be made, the next check writes all three and says that once.
    writeRecords({"2026-12-06 09:05", "2026-12-06 09:06", "2026-12-06 09:07"});
    const QString folder = ReminderJournal::folderIn(m_dir->path());
    writeFile(folder, "not a folder");
    FakeClock clock(at(9, 4, 50));
    ReminderEngine engine(m_dir->path(), &clock, &m_messages);
    engine.load();
    for (int minute : {5, 6, 7}) {
        clock.set(at(9, minute, 1));
        engine.check();
    }
    QTRY_COMPARE(m_messages.shown.size(), 1);
    QVERIFY2(m_messages.shown[0].text.endsWith(JournalText::keptUntilWritable()),
             qPrintable(m_messages.shown[0].text));
    QCOMPARE(engine.journal().unwrittenCount(), 3);

    QVERIFY(QFile::remove(folder));
    clock.set(at(9, 7, 30));
    engine.check();
    QTRY_COMPARE(m_messages.shown.size(), 2);
    QCOMPARE(m_messages.shown[1].text, JournalText::writtenAgain(3));
    ReminderJournal written(m_dir->path());
    written.loadAll();
    for (int i = 0; i < 3; ++i)
        QVERIFY(written.knows(engine.today().at(i).line()));
}

QTEST_GUILESS_MAIN(TestReminderEngine)
#include "tst_reminderengine.moc"
