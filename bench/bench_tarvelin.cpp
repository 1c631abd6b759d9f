// Measures the paths that must stay instant when a.bz holds years of records, each beside a floor
// (the least any program must do for the same result) or a reference (a straightforward way).
// Prints the ratios against their goals at the end, and the memory the entry form's table takes.

#include "apppaths.h"
#include "benchdata.h"
#include "clock.h"
#include "form1.h"
#include "form2.h"
#include "messages.h"
#include "profilefile.h"
#include "recordgridmodel.h"
#include "reminderengine.h"
#include "reminderreset.h"
#include "reminderslots.h"
#include "services.h"
#include "twips.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTableWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <optional>

namespace {

class FixedClock : public Clock
{
public:
    QDateTime now() const override { return BenchData::now(); }
};

// Keeps the last message instead of showing it, so that a benchmark can tell success from failure.
class LastMessage : public Messages
{
public:
    void show(const QString &text, const QString &, MessageStyle) override { last = text; }
    bool ask(const QString &text, const QString &) override
    {
        last = text;
        return false;
    }
    QString last;
};

constexpr int kScreenPixels = 1080; // 25 slots
constexpr int kBusyDayRows = 2000;  // the monitor's grid on a very busy day
const char kProbeFlag[] = "--tarvelin-memory-probe";

// Folders of the run, each with its own files so that no benchmark changes another's data.
struct Setup
{
    QTemporaryDir dir;
    int records = 0;
    qint64 fileSize = 0;

    QString folder(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QString bigFile() const { return AppPaths::recordFile(folder("main")); }
};
Setup *setup = nullptr;

ManagerServices servicesFor(const QString &folder, const Clock *clock, Messages *messages)
{
    ManagerServices services{folder, clock, messages, {}};
    return services;
}

QByteArray readWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// --- main window load ------------------------------------------------------------------------

void BM_MainLoad(benchmark::State &state)
{
    FixedClock clock;
    LastMessage messages;
    Form1 form(servicesFor(setup->folder("main"), &clock, &messages));
    for (auto _ : state)
        form.daoru();
    if (form.grid()->rows() != BenchData::kDueToday + 2)
        state.SkipWithError("the main window did not load the records due today");
}

void BM_FloorReadLines(benchmark::State &state)
{
    for (auto _ : state) {
        const QByteArray data = readWhole(setup->bigFile());
        const char *at = data.constData();
        const char *const end = at + data.size();
        qsizetype breaks = 0;
        while ((at = static_cast<const char *>(std::memchr(at, '\n', size_t(end - at))))) {
            ++breaks;
            ++at;
        }
        benchmark::DoNotOptimize(breaks);
    }
}

// --- entry form load ---------------------------------------------------------------------------

void BM_EntryLoad(benchmark::State &state)
{
    FixedClock clock;
    LastMessage messages;
    Form2 form(servicesFor(setup->folder("main"), &clock, &messages));
    for (auto _ : state)
        form.daoru();
    if (form.grid()->rows() != setup->records + 2)
        state.SkipWithError("the entry form did not load every record");
}

void BM_FloorDecode(benchmark::State &state)
{
    for (auto _ : state) {
        const QByteArray data = readWhole(setup->bigFile());
        QStringDecoder decoder("GBK");
        const QString text = decoder.decode(data);
        benchmark::DoNotOptimize(text.constData());
    }
}

// What a straightforward program does: split the text, then one item per cell.
void BM_WidgetReference(benchmark::State &state)
{
    for (auto _ : state) {
        QStringDecoder decoder("GBK");
        const QString text = decoder.decode(readWhole(setup->bigFile()));
        QList<QStringList> kept;
        for (const QString &line : text.split(QStringLiteral("\r\n"))) {
            const QStringList fields = line.split(QLatin1Char(','));
            if (fields.size() > 2 && !fields[1].isEmpty() && !fields[2].isEmpty())
                kept.append(fields);
        }
        QTableWidget table(int(kept.size()) + 1, 12);
        for (int r = 0; r < kept.size(); ++r) {
            table.setItem(r, 0, new QTableWidgetItem(QString::number(r + 1)));
            for (int c = 1; c < 11 && c - 1 < kept[r].size(); ++c)
                table.setItem(r, c, new QTableWidgetItem(kept[r][c - 1]));
        }
        benchmark::DoNotOptimize(table.rowCount());
    }
}

// --- entry form add ----------------------------------------------------------------------------

void BM_EntryAdd(benchmark::State &state)
{
    FixedClock clock;
    LastMessage messages;
    Form2 form(servicesFor(setup->folder("add"), &clock, &messages));
    auto text = [&form](const char *name) { return form.findChild<QLineEdit *>(name); };
    text("Text1")->setText(QStringLiteral("滨江花园5#楼3层梁板"));
    text("Text3")->setText(QStringLiteral("PB-2026-0917"));
    text("Text6")->setText(QStringLiteral("28"));
    text("Text8")->setText(QStringLiteral("36.5"));
    text("Text9")->setText(QStringLiteral("3"));
    text("Text10")->setText(QStringLiteral("监理见证"));
    form.findChild<QPushButton *>("Command3")->click();
    QPushButton *add = form.findChild<QPushButton *>("Command1");
    const int before = form.grid()->rows();
    static int batch = 0; // across runs too: each run loads what the earlier ones added
    for (auto _ : state) {
        // A batch of its own each time: the same record again would be asked about.
        text("Text10")->setText(QStringLiteral("监理见证 %1").arg(++batch));
        add->click();
    }
    if (messages.last != QStringLiteral("此条信息添加完成！") ||
        form.grid()->rows() != before + int(state.iterations()))
        state.SkipWithError(qPrintable(QStringLiteral("the add failed: ") + messages.last));
}

// Every whole-file write in this program is a QSaveFile: the floor writes the same way.
void BM_FloorRoundTrip(benchmark::State &state)
{
    const QString path = AppPaths::recordFile(setup->folder("roundtrip"));
    for (auto _ : state) {
        QStringDecoder decoder("GBK");
        const QString text = decoder.decode(readWhole(path));
        QStringEncoder encoder("GBK");
        const QByteArray bytes = encoder.encode(text);
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.commit()) {
            state.SkipWithError("cannot write the file");
            break;
        }
    }
}

// --- due-time monitor --------------------------------------------------------------------------

void BM_MonitorCheck(benchmark::State &state)
{
    const QString folder = setup->folder("monitor");
    const QStringList dueTimes = BenchData::dueTimesToday(kBusyDayRows);
    QList<QStringList> records = BenchData::records(kBusyDayRows);
    for (int r = 0; r < kBusyDayRows; ++r)
        records[r][5] = dueTimes[r];
    if (!QDir().mkpath(folder) ||
        !BenchData::makeRecordFile(AppPaths::recordFile(folder), records)) {
        state.SkipWithError("cannot write the file");
        return;
    }
    FixedClock clock;
    LastMessage messages;
    ReminderEngine engine(folder, &clock, &messages);
    engine.load();
    qsizetype fired = 0;
    QObject::connect(&engine, &ReminderEngine::fellDue, [&fired] { ++fired; });
    for (auto _ : state)
        engine.check();
    if (fired != 0 || engine.today().size() != kBusyDayRows)
        state.SkipWithError("a row fell due");
}

void BM_FloorCompare(benchmark::State &state)
{
    const QStringList dueTimes = BenchData::dueTimesToday(kBusyDayRows);
    const QString present = TimeText::minute(BenchData::now());
    for (auto _ : state) {
        int equal = 0;
        for (const QString &due : dueTimes)
            equal += due == present;
        benchmark::DoNotOptimize(equal);
    }
}

// --- exchange file -----------------------------------------------------------------------------

void BM_Reset(benchmark::State &state)
{
    FixedClock clock;
    LastMessage messages;
    const ManagerServices services = servicesFor(setup->folder("reset"), &clock, &messages);
    const ReminderReset reset(services, Twips::fromPixels(kScreenPixels));
    for (auto _ : state)
        reset.tscsh_Click();
    if (readWhole(AppPaths::reminderFile(services.dataFolder)) != ReminderSlots::resetBytes(5))
        state.SkipWithError("the reset did not make 25 free slots");
}

void BM_ResetReference(benchmark::State &state)
{
    const QString path = AppPaths::reminderFile(setup->folder("resetref"));
    const ProfileFile file(path);
    const int rows = ReminderSlots::rowsPerLayer(Twips::fromPixels(kScreenPixels));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
        for (int layer = 1; layer <= ReminderSlots::Layers; ++layer) {
            for (int row = 1; row <= rows; ++row) {
                for (const QString &key : ReminderSlots::resetKeys()) {
                    if (!file.write(ReminderSlots::name(layer, row), key, QStringLiteral("0")).ok)
                        state.SkipWithError("a profile write failed");
                }
            }
        }
    }
    if (readWhole(path) != ReminderSlots::resetBytes(rows))
        state.SkipWithError("the single-key writes made another file than the reset");
}

void BM_ClaimSlot(benchmark::State &state)
{
    const QString path = AppPaths::reminderFile(setup->folder("claim"));
    const ReminderSlots exchange(path);
    const int rows = ReminderSlots::rowsPerLayer(Twips::fromPixels(kScreenPixels));
    exchange.reset(rows);
    const QString last = ReminderSlots::name(ReminderSlots::Layers, rows);
    for (int layer = 1; layer <= ReminderSlots::Layers; ++layer) {
        for (int row = 1; row <= rows; ++row) {
            if (ReminderSlots::name(layer, row) != last)
                ProfileFile(path).write(ReminderSlots::name(layer, row), ReminderSlots::flagKey(),
                                        QStringLiteral("1"));
        }
    }
    for (auto _ : state) {
        const ReminderSlots::Found found = exchange.claim();
        state.PauseTiming();
        const bool claimedLast = found.slot == last;
        exchange.release(last);
        state.ResumeTiming();
        if (!claimedLast) {
            state.SkipWithError("the last free slot was not claimed");
            break;
        }
    }
}

BENCHMARK(BM_MainLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FloorReadLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EntryLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FloorDecode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WidgetReference)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EntryAdd)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FloorRoundTrip)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MonitorCheck)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FloorCompare)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Reset)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ResetReference)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ClaimSlot)->Unit(benchmark::kMillisecond)->UseRealTime();

// --- memory ------------------------------------------------------------------------------------

// A field of /proc/self/status in bytes, or nothing where there is no such file.
std::optional<qint64> statusBytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return std::nullopt;
}

// Runs in a fresh process, so that the heap holds nothing left over from making the data: an
// entry form is built on an empty folder, the big file is copied in, and the form's load is
// measured. Prints "<growth> <peak growth>" in bytes.
int memoryProbe(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    const QString source = QString::fromLocal8Bit(argv[3]);
    FixedClock clock;
    LastMessage messages;
    Form2 form(servicesFor(folder, &clock, &messages));
    if (!QFile::copy(source, AppPaths::recordFile(folder)))
        return 1;
    // Resets the peak (VmHWM) to the present size; Linux 4.0 and later.
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
    clearRefs.close();
    const std::optional<qint64> before = statusBytes("VmRSS");
    form.daoru();
    const std::optional<qint64> after = statusBytes("VmRSS");
    const std::optional<qint64> peak = statusBytes("VmHWM");
    if (!before || !after || !form.grid()->hasRecords())
        return 2;
    std::printf("%lld %lld\n", static_cast<long long>(*after - *before),
                static_cast<long long>(peak ? *peak - *before : -1));
    return 0;
}

struct Memory
{
    double multiple = -1; // growth of the table / file size; negative when not measured
    double peakMultiple = -1;
    bool failed = false;
};

Memory measureTableMemory()
{
    Memory memory;
    if (!statusBytes("VmRSS")) {
        std::printf("Memory of the entry form's table: not measured (no /proc/self/status on this "
                    "system).\n\n");
        return memory;
    }
    const QString folder = setup->folder("probe");
    QProcess probe;
    probe.start(QCoreApplication::applicationFilePath(),
                {QLatin1String(kProbeFlag), folder, setup->bigFile()});
    probe.waitForFinished(-1);
    const QList<QByteArray> values = probe.readAllStandardOutput().trimmed().split(' ');
    if (probe.exitCode() != 0 || values.size() != 2) {
        std::printf("Memory of the entry form's table: the probe failed (exit code %d).\n\n",
                    probe.exitCode());
        memory.failed = true;
        return memory;
    }
    const double size = double(setup->fileSize);
    memory.multiple = values[0].toDouble() / size;
    const double peak = values[1].toDouble();
    memory.peakMultiple = peak >= 0 ? peak / size : -1;
    std::printf("Memory of the entry form's table of %d records: resident memory grew by %.1f MB, "
                "%.2f x the file's %.1f MB (peak during the load %.2f x).\n\n",
                setup->records, values[0].toDouble() / 1e6, memory.multiple, size / 1e6,
                memory.peakMultiple);
    return memory;
}

// --- ratios ------------------------------------------------------------------------------------

// Wall-clock and processor time of one benchmark, in nanoseconds.
struct Times
{
    double real = 0;
    double cpu = 0;
};

// The console output as usual, and each benchmark's times kept (the median when there are
// repetitions) for the table of ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred) {
                ++m_errors;
                continue;
            }
            const std::string &name = run.run_name.function_name;
            const double unit = nanoseconds(run.time_unit);
            const Times times{run.GetAdjustedRealTime() * unit, run.GetAdjustedCPUTime() * unit};
            for (const auto &[key, counter] : run.counters)
                m_counters[name + '/' + key] = counter.value;
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median")
                    m_median[name] = times;
            } else {
                Sum &sum = m_sum[name];
                sum.total.real += times.real;
                sum.total.cpu += times.cpu;
                ++sum.count;
            }
        }
    }

    int errors() const { return m_errors; }

    // A counter a benchmark reported ("name/counter"), from its last run.
    std::optional<double> counter(const std::string &name) const
    {
        const auto it = m_counters.find(name);
        return it == m_counters.end() ? std::nullopt : std::optional<double>(it->second);
    }

    std::optional<Times> times(const std::string &name) const
    {
        if (const auto it = m_median.find(name); it != m_median.end())
            return it->second;
        if (const auto it = m_sum.find(name); it != m_sum.end() && it->second.count > 0)
            return Times{it->second.total.real / it->second.count,
                         it->second.total.cpu / it->second.count};
        return std::nullopt;
    }

private:
    static double nanoseconds(benchmark::TimeUnit unit)
    {
        switch (unit) {
        case benchmark::kSecond:
            return 1e9;
        case benchmark::kMillisecond:
            return 1e6;
        case benchmark::kMicrosecond:
            return 1e3;
        default:
            return 1;
        }
    }
    struct Sum
    {
        Times total;
        int count = 0;
    };
    std::map<std::string, Times> m_median;
    std::map<std::string, Sum> m_sum;
    std::map<std::string, double> m_counters;
    int m_errors = 0;
};

// The goals are judged on wall-clock time, which includes waiting for the disk; the processor
// time ratio is shown beside it because a shared machine makes wall-clock times noisy.
void printRatios(const RatioReporter &reporter, const Memory &memory)
{
    struct Goal
    {
        const char *measured, *beside;
        bool atMost; // measured / beside <= limit, else beside / measured >= limit
        double limit;
    };
    const Goal goals[] = {
        {"BM_MainLoad", "BM_FloorReadLines", true, 2},
        {"BM_EntryLoad", "BM_FloorDecode", true, 3},
        {"BM_EntryLoad", "BM_WidgetReference", false, 10},
        {"BM_EntryAdd", "BM_FloorRoundTrip", true, 2},
        {"BM_MonitorCheck", "BM_FloorCompare", true, 3},
        {"BM_Reset", "BM_ResetReference", false, 20},
    };
    std::printf("\n%-40s %10s %10s  %-8s\n", "ratio", "wall", "processor", "goal");
    for (const Goal &goal : goals) {
        const std::optional<Times> a = reporter.times(goal.measured);
        const std::optional<Times> b = reporter.times(goal.beside);
        if (!a || !b || a->real <= 0 || b->real <= 0 || a->cpu <= 0 || b->cpu <= 0)
            continue;
        const double wall = goal.atMost ? a->real / b->real : b->real / a->real;
        const double cpu = goal.atMost ? a->cpu / b->cpu : b->cpu / a->cpu;
        const std::string name = goal.atMost ? std::string(goal.measured) + " / " + goal.beside
                                             : std::string(goal.beside) + " / " + goal.measured;
        const bool met = goal.atMost ? wall <= goal.limit : wall >= goal.limit;
        std::printf("%-40s %10.2f %10.2f  %s %-5g %s\n", name.c_str(), wall, cpu,
                    goal.atMost ? "<=" : ">=", goal.limit, met ? "met" : "NOT MET");
    }
    // Not a ratio: how long the main window is busy with 2,000 records due at once (bench_burst).
    if (const std::optional<Times> burst = reporter.times("BM_RemindersBurst")) {
        std::printf("%-40s %10.0f %10.0f  <= %-5g %s\n", "BM_RemindersBurst, ms", burst->real / 1e6,
                    burst->cpu / 1e6, 1000.0, burst->real <= 1e9 ? "met" : "NOT MET");
    }
    // The longest the main window's event loop stood still in the same burst through the whole
    // road (its clock would have stopped that long).
    if (const std::optional<double> stall =
            reporter.counter("BM_BurstMainWindow/longest_stall_ms")) {
        std::printf("%-40s %10.0f %10s  <= %-5g %s\n", "BM_BurstMainWindow longest stall, ms",
                    *stall, "", 500.0, *stall <= 500 ? "met" : "NOT MET");
    }
    if (memory.multiple >= 0) {
        std::printf("%-40s %10.2f %10s  <= %-5g %s\n", "entry form table memory / file size",
                    memory.multiple, "", 4.0, memory.multiple <= 4 ? "met" : "NOT MET");
    }
    if (setup->records != BenchData::kFullRecords) {
        std::printf(
            "(The goals are set for %d records; fixed costs weigh more in a smaller file.)\n",
            BenchData::kFullRecords);
    }
}

bool makeData()
{
    const QList<QStringList> records = BenchData::records(setup->records);
    QList<QStringList> table = records;
    table.append(QStringList(11)); // the closing line of ten commas, as the entry form saves it
    for (const char *name : {"main", "add", "roundtrip", "reset", "resetref", "claim", "probe"}) {
        if (!QDir().mkpath(setup->folder(name)))
            return false;
    }
    if (!BenchData::makeRecordFile(setup->bigFile(), table))
        return false;
    for (const char *name : {"add", "roundtrip"}) {
        if (!QFile::copy(setup->bigFile(), AppPaths::recordFile(setup->folder(name))))
            return false;
    }
    setup->fileSize = QFileInfo(setup->bigFile()).size();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 4 && std::strcmp(argv[1], kProbeFlag) == 0)
        return memoryProbe(argc, argv);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QApplication app(argc, argv);

    Setup data;
    setup = &data;
    data.records = BenchData::recordCount();
    if (!data.dir.isValid() || !makeData()) {
        std::fprintf(stderr, "cannot make the benchmark data in %s\n", qPrintable(data.dir.path()));
        return 1;
    }
    std::printf("a.bz: %d records, %lld bytes, %d due on %s.\n", data.records,
                static_cast<long long>(data.fileSize), BenchData::kDueToday,
                qPrintable(TimeText::date(BenchData::now())));
    const Memory memory = measureTableMemory();
    std::fflush(stdout);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::cout.flush();
    printRatios(reporter, memory);
    benchmark::Shutdown();
    // A benchmark that could not do its work fails the run (and the smoke test).
    return reporter.errors() > 0 || memory.failed ? 1 : 0;
}
