// The lab's schedule and the journal beside years of records: the schedule's load and a filter
// keystroke, what the journal adds to a start of the main window, and the schedule's memory.
// Prints the ratios against their goals at the end.

#include "apppaths.h"
#include "benchdata.h"
#include "clock.h"
#include "form1.h"
#include "gbkcodec.h"
#include "messages.h"
#include "recordfile.h"
#include "reminderjournal.h"
#include "reminderwatch.h"
#include "schedulemodel.h"
#include "services.h"
#include "specimenrecord.h"
#include "strengthentry.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <optional>

namespace {

class FixedClock : public Clock
{
public:
    QDateTime now() const override { return BenchData::now(); }
};

class QuietMessages : public Messages
{
public:
    void show(const QString &, const QString &, MessageStyle) override {}
    bool ask(const QString &, const QString &) override { return false; }
};

constexpr int kOverdueDays = 30;
const char kProbeFlag[] = "--tarvelin-schedule-memory-probe";

QTemporaryDir *folder = nullptr;
int records = 0;
qint64 fileSize = 0;

QString recordFile()
{
    return AppPaths::recordFile(folder->path());
}

// A journal of a lab that used it for the whole three years: every record due before now was
// reminded, and every one due two days before or earlier was marked tested, one record in ten with
// its strengths as the result window writes them (each text its own, as the loads differ).
bool makeData()
{
    QList<QStringList> table = BenchData::records(records);
    table.append(QStringList(11));
    if (!BenchData::makeRecordFile(recordFile(), table))
        return false;
    fileSize = QFileInfo(recordFile()).size();
    ReminderJournal journal(folder->path());
    const QString present = TimeText::minute(BenchData::now());
    const QString tested = TimeText::minute(BenchData::now().addDays(-2));
    for (qsizetype n = 0; n < table.size(); ++n) {
        const QStringList &record = table[n];
        const QString due = record.value(SpecimenRecord::DueTime);
        if (due.isEmpty() || due >= present)
            continue;
        const QString key = ReminderJournal::keyOf(record.join(u','));
        const QDateTime when = QDateTime::fromString(due, QStringLiteral("yyyy-MM-dd HH:mm"));
        if (!journal.remind(key, ReminderJournal::How::Popup, when).isEmpty())
            return false;
        StrengthEntry result;
        result.freeText = QStringLiteral("35.2 MPa");
        if (n % 10 == 0) {
            result.freeText.clear();
            result.groups.append({QString::number(700 + n % 97), QString::number(720 + n % 89),
                                  QString::number(760 + n % 83)});
        }
        if (due < tested &&
            !journal.markTested(key, when.addDays(1), QStringLiteral("张三"), result.encode())
                 .isEmpty())
            return false;
    }
    return true;
}

// What the journal adds to a start of the main window: today's file read, and each of today's
// rows looked up in it to be marked "到期" again.
void BM_StartJournal(benchmark::State &state)
{
    const QDateTime now = BenchData::now();
    QStringList todays;
    for (const QStringList &fields :
         RecordFile(recordFile()).readDueOn(TimeText::date(now), false).lines)
        todays << ReminderJournal::keyOf(fields.join(u','));
    int known = 0;
    for (auto _ : state) {
        ReminderJournal journal(folder->path());
        journal.loadDays(now.date(), now.date());
        known = 0;
        for (const QString &key : std::as_const(todays))
            known += journal.knows(key);
    }
    if (todays.isEmpty() || known == 0)
        state.SkipWithError("no record of today is in the journal");
}

// The watch's work at a start, beside it: the records of the overdue span read from a.bz once
// (the glance's scan, which the catch-up shares), the span's journal, the records never
// reminded, and the day at a glance.
void BM_StartWatch(benchmark::State &state)
{
    const QDateTime now = BenchData::now();
    for (auto _ : state) {
        ReminderJournal journal(folder->path());
        journal.loadDays(now.date().addDays(-kOverdueDays), now.date());
        const QString horizon = ReminderWatch::horizon({}, now, kOverdueDays);
        const ReminderWatch::Scan scan =
            ReminderWatch::scanDue(recordFile(), ReminderWatch::glanceFrom(now, kOverdueDays),
                                   ReminderWatch::glanceBefore(now));
        benchmark::DoNotOptimize(ReminderWatch::neverReminded(scan.records, journal, horizon, now));
        benchmark::DoNotOptimize(ReminderWatch::glance(scan.records, journal, now));
    }
}

void BM_MainLoad(benchmark::State &state)
{
    FixedClock clock;
    QuietMessages messages;
    Form1 form(ManagerServices{folder->path(), &clock, &messages, {}});
    for (auto _ : state)
        form.daoru();
}

// "试验计划" opened: the journal's days and the records of the overdue span and the coming week.
void BM_ScheduleLoad(benchmark::State &state)
{
    const QDate today = BenchData::now().date();
    for (auto _ : state) {
        ReminderJournal journal(folder->path());
        journal.loadDays(ScheduleModel::firstDay(today, kOverdueDays),
                         ScheduleModel::lastDay(today));
        ScheduleModel model(&journal);
        model.load(recordFile(), BenchData::now(), kOverdueDays, ScheduleModel::Scope::Recent);
        if (model.count(ScheduleModel::Today) == 0)
            state.SkipWithError("the schedule holds nothing due today");
    }
}

// "以后", "其他" or "全部" chosen: every record and the whole journal.
void BM_ScheduleWhole(benchmark::State &state)
{
    for (auto _ : state) {
        ReminderJournal journal(folder->path());
        journal.loadAll();
        ScheduleModel model(&journal);
        model.load(recordFile(), BenchData::now(), kOverdueDays, ScheduleModel::Scope::Whole);
        if (model.recordCount() != records)
            state.SkipWithError("the schedule did not load every record");
    }
}

void BM_JournalAll(benchmark::State &state)
{
    for (auto _ : state) {
        ReminderJournal journal(folder->path());
        journal.loadAll();
    }
}
BENCHMARK(BM_JournalAll)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FloorDecode(benchmark::State &state)
{
    for (auto _ : state) {
        QFile file(recordFile());
        file.open(QIODevice::ReadOnly);
        QStringDecoder decoder("GBK");
        const QString text = decoder.decode(file.readAll());
        benchmark::DoNotOptimize(text.constData());
    }
}

// One keystroke more, one less: the whole schedule filtered again each time.
void BM_FilterKeystroke(benchmark::State &state)
{
    ReminderJournal journal(folder->path());
    journal.loadAll();
    ScheduleModel model(&journal);
    model.load(recordFile(), BenchData::now(), kOverdueDays);
    const QString texts[] = {QStringLiteral("滨江花园5"), QStringLiteral("滨江花园")};
    int i = 0;
    for (auto _ : state)
        model.setFilter(texts[i++ % 2]);
}

BENCHMARK(BM_MainLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StartJournal)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StartWatch)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScheduleLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScheduleWhole)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FloorDecode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FilterKeystroke)->Unit(benchmark::kMillisecond)->UseRealTime();

std::optional<qint64> residentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    return std::nullopt;
}

// In a fresh process: the schedule of every record with the whole journal. Prints the growth.
int memoryProbe(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString data = QString::fromLocal8Bit(argv[2]);
    const std::optional<qint64> before = residentBytes();
    ReminderJournal journal(data);
    journal.loadAll();
    ScheduleModel model(&journal);
    model.load(AppPaths::recordFile(data), BenchData::now(), kOverdueDays);
    const std::optional<qint64> after = residentBytes();
    if (!before || !after || model.recordCount() == 0)
        return 2;
    std::printf("%lld\n", static_cast<long long>(*after - *before));
    return 0;
}

class Ratios : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred ||
                (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median"))
                continue;
            const double ms = run.time_unit == benchmark::kMillisecond ? 1 : 1e-3;
            m_times[run.run_name.function_name] = {run.GetAdjustedRealTime() * ms,
                                                   run.GetAdjustedCPUTime() * ms};
        }
    }
    void print(double memory) const
    {
        std::printf("\n%-40s %10s %10s  %-8s\n", "ratio", "wall", "processor", "goal");
        const auto ratio = [this](const char *name, const char *a, const char *b, double limit) {
            const auto x = m_times.find(a), y = m_times.find(b);
            if (x == m_times.end() || y == m_times.end())
                return;
            const double wall = x->second.first / y->second.first;
            const double processor = x->second.second / y->second.second;
            if (limit <= 0) { // measured beside it, no goal
                std::printf("%-40s %10.3f %10.3f\n", name, wall, processor);
                return;
            }
            std::printf("%-40s %10.3f %10.3f  <= %-5g %s\n", name, wall, processor, limit,
                        wall <= limit ? "met" : "NOT MET");
        };
        ratio("BM_ScheduleLoad / BM_FloorDecode", "BM_ScheduleLoad", "BM_FloorDecode", 2);
        ratio("BM_ScheduleWhole / BM_FloorDecode", "BM_ScheduleWhole", "BM_FloorDecode", 0);
        ratio("BM_StartJournal / BM_MainLoad", "BM_StartJournal", "BM_MainLoad", 0.1);
        ratio("BM_StartWatch / BM_MainLoad", "BM_StartWatch", "BM_MainLoad", 0);
        if (const auto it = m_times.find("BM_FilterKeystroke"); it != m_times.end())
            std::printf("%-40s %10.2f %10.2f  <= 50 ms %s\n", "BM_FilterKeystroke (ms)",
                        it->second.first, it->second.second,
                        it->second.second <= 50 ? "met" : "NOT MET");
        if (memory >= 0)
            std::printf("%-40s %10.2f %10s  <= 4     %s\n", "schedule memory / file size", memory,
                        "", memory <= 4 ? "met" : "NOT MET");
    }

private:
    std::map<std::string, std::pair<double, double>> m_times; // ms wall, ms processor
};

double measureMemory()
{
    QProcess probe;
    probe.start(QCoreApplication::applicationFilePath(),
                {QLatin1String(kProbeFlag), folder->path()});
    probe.waitForFinished(-1);
    bool ok = false;
    const double grown = probe.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok && probe.exitCode() == 0 ? grown / double(fileSize) : -1;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], kProbeFlag) == 0)
        return memoryProbe(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QApplication app(argc, argv);
    QTemporaryDir dir;
    folder = &dir;
    records = BenchData::recordCount();
    if (!dir.isValid() || !makeData()) {
        std::fprintf(stderr, "cannot make the benchmark data in %s\n", qPrintable(dir.path()));
        return 1;
    }
    std::printf("a.bz: %d records, %lld bytes; the journal of every record reminded.\n", records,
                static_cast<long long>(fileSize));
    Ratios reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.print(measureMemory());
    benchmark::Shutdown();
    return 0;
}
