// A check that finds 2,000 records due in one minute: the 25 slots of a 1080-pixel screen go to
// popups that have not claimed yet, as in the first second of such a minute, and the other 1,975
// records are listed in the main window's list. Measured from the first dispatch until the list
// has taken every record in: the time the main window is busy.

#include "benchdata.h"
#include "clock.h"
#include "messages.h"
#include "reminderdispatcher.h"
#include "reminderlistwindow.h"
#include "reminderslots.h"
#include "twips.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QListView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kBurst = 2000;
constexpr int kScreenPixels = 1080;

class BurstClock : public Clock
{
public:
    QDateTime now() const override { return BenchData::now(); }
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

} // namespace

BENCHMARK(BM_RemindersBurst)->Unit(benchmark::kMillisecond)->UseRealTime();
