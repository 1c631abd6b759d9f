#include "duecheck.h"
#include "duemonitor.h"
#include "fakes.h"
#include "recordgridmodel.h"
#include "specimenrecord.h"

#include <QtTest>

namespace {
QDateTime at(int hour, int minute, int second = 0, int day = 6)
{
    return QDateTime(QDate(2026, 12, day), QTime(hour, minute, second));
}
} // namespace

class TestDueMonitor : public QObject
{
    Q_OBJECT

private slots:
    void dueTimeText_data();
    void dueTimeText();
    void firstCheckSeesThePresentMinuteOnly();
    void markPreventsASecondDispatch();
    void rowsDueTogetherComeUpperFirst();
    void lateCheckCatchesUp();
    void clockGoingBackDoesNotFireEverything();

private:
    void fill(RecordGridModel &grid, const QStringList &dueTimes);
};

void TestDueMonitor::fill(RecordGridModel &grid, const QStringList &dueTimes)
{
    for (const QString &due : dueTimes) {
        const int row = grid.rows() - 1;
        grid.setTextMatrix(row, 1, QStringLiteral("梁%1").arg(row));
        grid.setTextMatrix(row, 6, due);
        grid.addItem();
    }
    grid.renumber();
}

void TestDueMonitor::dueTimeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("due time") << "2026-12-06 09:05" << true;
    QTest::newRow("no leading zero") << "2026-12-6 09:05" << false;
    QTest::newRow("seconds") << "2026-12-06 09:05:00" << false;
    QTest::newRow("letters") << "2026-12-06 0a:05" << false;
    QTest::newRow("empty") << "" << false;
}

void TestDueMonitor::dueTimeText()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(DueCheck::isDueTimeText(text), valid);
}

void TestDueMonitor::firstCheckSeesThePresentMinuteOnly()
{
    RecordGridModel grid(13);
    fill(grid, {"2026-12-06 09:04", "2026-12-06 09:05", "2026-12-06 09:06", "", "2026-12-6 9:05"});
    FakeClock clock(at(9, 5, 59));
    DueMonitor monitor(&grid, &clock);
    QCOMPARE(monitor.check(), QList<int>({2}));
    QCOMPARE(grid.textMatrix(2, 11), SpecimenRecord::dueMarkText());
    QCOMPARE(grid.cellForeColour(2, 1), RecordGridModel::Yellow);
    QCOMPARE(grid.cellBackColour(2, 12), RecordGridModel::SystemHighlight);
    QCOMPARE(grid.cellForeColour(2, 0),
             RecordGridModel::DefaultColour);    // number column keeps its look
    QCOMPARE(grid.textMatrix(1, 11), QString()); // the minute before
    QCOMPARE(grid.textMatrix(3, 11), QString()); // the minute after
    QCOMPARE(grid.textMatrix(6, 11), QString()); // spare row never due
}

void TestDueMonitor::markPreventsASecondDispatch()
{
    RecordGridModel grid(13);
    fill(grid, {"2026-12-06 09:05"});
    FakeClock clock(at(9, 5, 0));
    DueMonitor monitor(&grid, &clock);
    QCOMPARE(monitor.check().size(), 1);
    clock.advanceSeconds(5);
    QVERIFY(monitor.check().isEmpty());
    // Even after a restart (monitor switched off and on) a marked row stays quiet.
    monitor.restart();
    QVERIFY(monitor.check().isEmpty());
}

void TestDueMonitor::rowsDueTogetherComeUpperFirst()
{
    RecordGridModel grid(13);
    fill(grid, {"2026-12-06 09:05", "2026-12-06 10:00", "2026-12-06 09:05", "2026-12-06 09:05"});
    FakeClock clock(at(9, 5, 30));
    DueMonitor monitor(&grid, &clock);
    QCOMPARE(monitor.check(), QList<int>({1, 3, 4}));
}

void TestDueMonitor::lateCheckCatchesUp()
{
    RecordGridModel grid(13);
    fill(grid, {"2026-12-06 09:05", "2026-12-06 09:06", "2026-12-06 09:09", "2026-12-06 09:10"});
    FakeClock clock(at(9, 4, 58));
    DueMonitor monitor(&grid, &clock);
    QVERIFY(monitor.check().isEmpty());
    // The next check comes five minutes late (a suspended laptop, a long interval).
    clock.set(at(9, 9, 10));
    QCOMPARE(monitor.check(), QList<int>({1, 2, 3}));
    clock.set(at(9, 10, 0));
    QCOMPARE(monitor.check(), QList<int>({4}));
}

void TestDueMonitor::clockGoingBackDoesNotFireEverything()
{
    RecordGridModel grid(13);
    fill(grid, {"2026-12-06 08:00", "2026-12-06 08:30"});
    FakeClock clock(at(9, 0));
    DueMonitor monitor(&grid, &clock);
    QVERIFY(monitor.check().isEmpty());
    clock.set(at(8, 30, 5)); // the system clock was set back
    QCOMPARE(monitor.check(), QList<int>({2}));
}

QTEST_MAIN(TestDueMonitor)
#include "tst_duemonitor.moc"
