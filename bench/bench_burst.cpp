// A check that finds 2,000 records due in one minute: the 25 slots of a 1080-pixel screen go to
// popups that have not claimed yet, as in the first second of such a minute, and the other 1,975
// records are listed in the main window's list.
//   BM_RemindersBurst   the dispatcher and the list alone, from the first dispatch until the list
//                       has taken every record in
//   BM_BurstMainWindow  the whole road in the main window: a.bz with the 2,000 records, the check,
//                       the grid's marks, the dispatcher, the journal and the list. Its counter
//                       longest_stall_ms is the longest time the window's event loop did not turn,
//                       which its clock shows: the goal is under 500 ms.

#include "benchdata.h"
#include "clock.h"
#include "form1.h"
#include "messages.h"
#include "recordgridmodel.h"
#include "reminderdispatcher.h"
#include "reminderengine.h"
#include "reminderlistwindow.h"
#include "reminderslots.h"
#include "specimenrecord.h"
#include "twips.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kBurst = 2000;
constexpr int kScreenPixels = 1080;

class BurstClock : public Clock
{
public:
    QDateTime now() const override { return BenchData::now().addSecs(m_seconds); }
    qint64 m_seconds = 0;
};

class NoMessages : public Messages
{
public:
    void show(const QString &, const QString &, MessageStyle) override {}
    bool ask(const QString &, const QString &) override { return false; }
};

void BM_RemindersBurst(benchmark::State &state)
{
    QTemporaryDir folder;
    BurstClock clock;
    NoMessages messages;
    const ManagerServices services{folder.path(), &clock, &messages, QStringLiteral("/bench/vexa")};
    const QList<QStringList> records = BenchData::records(kBurst);
    const int rows = ReminderSlots::rowsPerLayer(Twips::fromPixels(kScreenPixels));
    const int listed = kBurst - rows * ReminderSlots::Layers;
    for (auto _ : state) {
        state.PauseTiming();
        ReminderSlots(folder.filePath(QStringLiteral("vexa.ini"))).reset(rows);
        ReminderDispatcher dispatcher(services, [] { return Twips::fromPixels(kScreenPixels); });
        // Every popup runs (this very process) and has not claimed yet.
        dispatcher.setLauncher(
            [](const ReminderDispatcher::Launch &) { return QCoreApplication::applicationPid(); });
        ReminderListWindow list(QStringLiteral("到期提醒"), QStringLiteral("以下记录："));
        QObject::connect(&dispatcher, &ReminderDispatcher::reminderNotShown, &list,
                         &ReminderListWindow::addEntry);
        const QAbstractItemModel *model = list.findChild<QListView *>()->model();
        state.ResumeTiming();

        for (const QStringList &cells : records)
            dispatcher.dispatch(cells);
        while (model->rowCount() < listed)
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();

        if (model->rowCount() != listed || dispatcher.watchedCount() != kBurst - listed) {
            state.SkipWithError("the burst was not split into popups and listed records");
            break;
        }
    }
}

void BM_BurstMainWindow(benchmark::State &state)
{
    BurstClock clock;
    NoMessages messages;
    QList<QStringList> records = BenchData::records(kBurst);
    const QString due = BenchData::now().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    for (QStringList &fields : records)
        fields[SpecimenRecord::DueTime] = due;
    const int rows = ReminderSlots::rowsPerLayer(Twips::fromPixels(kScreenPixels));
    qint64 longest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        if (!BenchData::makeRecordFile(folder.filePath(QStringLiteral("a.bz")), records)) {
            state.SkipWithError("a.bz not written");
            break;
        }
        ReminderSlots(folder.filePath(QStringLiteral("vexa.ini"))).reset(rows);
        // Before the minute: the start loads the records and nothing is due yet.
        clock.m_seconds = -30;
        Form1 window({folder.path(), &clock, &messages, QStringLiteral("/bench/vexa")});
        window.dispatcher()->setLauncher(
            [](const ReminderDispatcher::Launch &) { return QCoreApplication::applicationPid(); });
        window.Form_Load();
        window.engine()->check();
        clock.m_seconds = 0;
        // The window's clock: a timer that fires at every turn of the event loop.
        QElapsedTimer sinceTurn;
        qint64 stall = 0;
        QTimer turn;
        QObject::connect(&turn, &QTimer::timeout,
                         [&] { stall = qMax(stall, sinceTurn.restart()); });
        turn.start(0);
        state.ResumeTiming();

        sinceTurn.start();
        window.Timer1_Timer();
        stall = qMax(stall, sinceTurn.restart());
        while (window.engine()->pendingCount() > 0)
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();

        state.PauseTiming();
        longest = qMax(longest, stall);
        int marked = 0;
        for (int r = 1; r <= kBurst; ++r)
            marked += window.grid()->textMatrix(r, SpecimenRecord::DueMarkColumn).isEmpty() ? 0 : 1;
        if (marked != kBurst) {
            state.SkipWithError("not every record was marked due");
            break;
        }
        state.ResumeTiming();
    }
    state.counters["longest_stall_ms"] = double(longest);
}

} // namespace

BENCHMARK(BM_BurstMainWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_RemindersBurst)->Unit(benchmark::kMillisecond)->UseRealTime();
