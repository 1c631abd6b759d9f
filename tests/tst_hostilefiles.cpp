// Damaged and hostile files, and writes the disk refuses. For each: no crash, what can be shown is
// shown, nothing is written back damaged, and a write that cannot be done says so.
#include "apppaths.h"
#include "basetexts.h"
#include "datepicker.h"
#include "exchangetexts.h"
#include "fakes.h"
#include "form1.h"
#include "form2.h"
#include "fulldisk.h"
#include "handoff.h"
#include "profilefile.h"
#include "recordfile.h"
#include "recordgridmodel.h"
#include "reminderdispatcher.h"
#include "reminderreset.h"
#include "reminderslots.h"
#include "storetexts.h"
#include "testfiles.h"
#include "titles.h"
#include "windowtexts.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
const QString kToday = QStringLiteral("2026-12-06");

// The sample record's line, with a remark of raw bytes.
QByteArray recordLine(const QString &part, const QString &due, const QByteArray &remark = "r")
{
    QByteArray line = sample(part, due).line();
    return line.insert(line.size() - 1, remark); // before the empty due mark
}

// The lines of bytes as the loaders split them (CR LF, CR or LF).
QList<QByteArray> rawLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    for (QByteArrayView line : RecordFile::splitLines(bytes))
        lines << line.toByteArray();
    return lines;
}

// Lines holding anything but commas: what the entry form keeps of a file.
QList<QByteArray> filledLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    for (const QByteArray &line : rawLines(bytes)) {
        if (line.count(',') != line.size())
            lines << line;
    }
    return lines;
}

// Limits the size of any file this process (and a child it starts) writes, while it lives.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes)
    {
#ifdef Q_OS_UNIX
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_old;
        small.rlim_cur = rlim_t(bytes);
        m_ok = setrlimit(RLIMIT_FSIZE, &small) == 0;
#else
        Q_UNUSED(bytes);
#endif
    }
    ~FileSizeLimit()
    {
#ifdef Q_OS_UNIX
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldSignal);
#endif
    }
    bool ok() const
    {
        return m_ok;
    }

private:
    bool m_ok = false;
#ifdef Q_OS_UNIX
    rlimit m_old{};
    void (*m_oldSignal)(int) = nullptr;
#endif
};

bool runningAsRoot()
{
#ifdef Q_OS_UNIX
    return geteuid() == 0;
#else
    return false;
#endif
}
} // namespace

class TestHostileFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void cleanupTestCase() { qInfo("%d hostile inputs tried", m_inputsTried); }

    void recordFile_data();
    void recordFile();
    void recordFileNamedWhenUnusable_data();
    void recordFileNamedWhenUnusable();
    void exchangeFile_data();
    void exchangeFile();
    void recordWriteRefused_data();
    void recordWriteRefused();
    void exchangeWriteRefused_data();
    void exchangeWriteRefused();

private:
    ManagerServices services();
    QString recordPath() const { return AppPaths::recordFile(m_folder); }
    QString exchangePath() const { return AppPaths::reminderFile(m_folder); }
    // Puts what the row names at a.bz's place: "folder", "pipe", "device link", "link to itself",
    // "UTF-8" (today's record saved in UTF-8), "gone"; says why when it cannot be made here.
    QString makeUnusable(const QString &kind);
    // Adds one record through the entry form's boxes and its "添加" button.
    void addThroughEntryForm();
    // Starts the real vexa on the data folder; it closes itself after a moment.
    std::unique_ptr<QProcess> startVexa();
    // A dispatcher on the data folder whose popups start without a process; launched counts them.
    std::unique_ptr<ReminderDispatcher> dispatcherCounting(int *launched);
    // Blocks every write to the data folder in the way the row names; if it cannot be done
    // here, says why.
    QString block(const QString &how, const QString &target, std::unique_ptr<FileSizeLimit> *limit);
    // What the last message must say for a write blocked that way, beyond the file unchanged.
    QString causeNamed(const QString &how) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FullDisk> m_fullDisk;
    QString m_folder;
    FakeClock m_clock{QDateTime(QDate(2026, 12, 6), QTime(9, 4, 30))};
    RecordingMessages m_messages;
    int m_inputsTried = 0;
};

void TestHostileFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_folder = m_dir->path();
    m_messages.shown.clear();
    // Every question before a deletion is answered "是": what follows is the file's fate.
    m_messages.answer = true;
}

void TestHostileFiles::cleanup()
{
    m_fullDisk.reset();
    // A folder made read-only for a test must be writable again to be removed.
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const QString &name : {QStringLiteral("a.bz"), QStringLiteral("vexa.ini")}) {
        QFile::setPermissions(m_dir->filePath(name), QFile::ReadOwner | QFile::WriteOwner);
    }
    m_dir.reset();
}

ManagerServices TestHostileFiles::services()
{
    ManagerServices s;
    s.dataFolder = m_folder;
    s.clock = &m_clock;
    s.messages = &m_messages;
    s.popupProgram = QStringLiteral(VEXA_PATH);
    return s;
}

std::unique_ptr<ReminderDispatcher> TestHostileFiles::dispatcherCounting(int *launched)
{
    auto dispatcher = std::make_unique<ReminderDispatcher>(services(), [] { return 15 * 1080; });
    dispatcher->setLauncher([launched](const ReminderDispatcher::Launch &) {
        ++*launched;
        return QCoreApplication::applicationPid();
    });
    return dispatcher;
}

void TestHostileFiles::addThroughEntryForm()
{
    Form2 form(services());
    auto text = [&form](const char *name) { return form.findChild<QLineEdit *>(name); };
    text("Text1")->setText(QStringLiteral("新加的梁"));
    form.findChild<DatePicker *>("DTPicker1")->setDate(QDate(2026, 12, 6));
    text("Text4")->setText(QStringLiteral("08"));
    text("Text5")->setText(QStringLiteral("30"));
    text("Text6")->setText(QStringLiteral("3"));
    text("Text3")->setText(QStringLiteral("P-09"));
    form.findChild<QPushButton *>("Command3")->click();
    QCOMPARE(text("Text7")->text(), QStringLiteral("2026-12-09 08:30"));
    form.findChild<QPushButton *>("Command1")->click();
}

std::unique_ptr<QProcess> TestHostileFiles::startVexa()
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QLatin1String(Handoff::DataFolderVariable), m_folder);
    env.insert(QLatin1String(Handoff::QuitAfterVariable), QStringLiteral("300"));
    process->setProcessEnvironment(env);
    process->start(QStringLiteral(VEXA_PATH), {});
    return process;
}

void TestHostileFiles::recordFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("dueToday");  // records the main window shows
    QTest::addColumn<int>("filled");    // records the entry form holds
    QTest::addColumn<bool>("writable"); // whether it can be written back unchanged

    const QByteArray today =
        recordLine(QStringLiteral("1#楼梁"), kToday + QStringLiteral(" 09:30"));
    const QByteArray later =
        recordLine(QStringLiteral("2#楼板"), QStringLiteral("2026-12-29 08:30"));
    const QByteArray crlf("\r\n");

    QTest::newRow("invalid code page 936 bytes")
        << today + crlf +
               recordLine(QStringLiteral("3#"), kToday + QStringLiteral(" 10:00"),
                          "\x81 \xff\x80") +
               crlf + later + "\xfe" + crlf + kClosingLine
        << 2 << 3 << false;
    QTest::newRow("NUL bytes") << today + crlf +
                                      recordLine(QStringLiteral("3#"),
                                                 kToday + QStringLiteral(" 10:00"),
                                                 QByteArray("a\0b\0", 4)) +
                                      crlf + QByteArray(8, '\0') + crlf + kClosingLine
                               << 2 << 3 << true;
    QTest::newRow("UTF-8 byte order mark")
        << "\xef\xbb\xbf" + later + crlf + today + crlf + kClosingLine << 1 << 2 << false;
    QTest::newRow("1 MB line") << QByteArray(1 << 20, 'x') + crlf + today + crlf +
                                      recordLine(QStringLiteral("4#"),
                                                 kToday + QStringLiteral(" 11:00"),
                                                 gbk(QString(1 << 19, QChar(0x6881)))) +
                                      crlf + kClosingLine
                               << 2 << 3 << true;
    QTest::newRow("10,000 commas")
        << QByteArray(10000, ',') + crlf + today + crlf +
               recordLine(QStringLiteral("5#"), kToday + QStringLiteral(" 12:00")) +
               QByteArray(10000, ',') + "x" + crlf + kClosingLine
        << 2 << 2 << true;
    QTest::newRow("bare CR line ends")
        << today + '\r' + later + '\r' + kClosingLine + '\r' << 1 << 2 << true;
    QTest::newRow("bare LF line ends")
        << today + '\n' + later + '\n' + kClosingLine << 1 << 2 << true;
    QTest::newRow("mixed line ends")
        << today + "\r\n\n\r" + later + "\n\r\n" + kClosingLine << 1 << 2 << true;
    QTest::newRow("0 bytes") << QByteArray() << 0 << 0 << true;
}

void TestHostileFiles::recordFile()
{
    QFETCH(QByteArray, file);
    QFETCH(int, dueToday);
    QFETCH(int, filled);
    QFETCH(bool, writable);
    writeFile(recordPath(), file);
    // What the refusal says when a file holds bytes that are not code page 936 text.
    const QString kNotGbk = StoreText::unreadableBytes(QString(QChar::ReplacementCharacter));

    // Both loaders.
    const RecordFile records(recordPath());
    const RecordFile::Records due = records.readDueOn(kToday);
    QCOMPARE(due.error, QString());
    QCOMPARE(due.lines.size(), qsizetype(dueToday));
    for (const QStringList &fields : due.lines)
        QVERIFY(fields.value(SpecimenRecord::DueTime).contains(kToday));
    QCOMPARE(readFilled(records).lines.size(), qsizetype(filled));

    // The main window starts with today's records, quietly.
    {
        Form1 window(services());
        window.Form_Load();
        QCOMPARE(window.grid()->rows(), dueToday + 2);
        QCOMPARE(window.timer1()->isActive(), dueToday > 0);
        for (int r = 1; r <= dueToday; ++r) {
            QCOMPARE(window.grid()->textMatrix(r, 2), QStringLiteral("C30"));
            QVERIFY(window.grid()->textMatrix(r, SpecimenRecord::DueTimeColumn).startsWith(kToday));
        }
        QCOMPARE(m_messages.shown.size(), 0);

        // "删除过期数据" for the first row, marked due.
        if (dueToday > 0)
            window.grid()->setTextMatrix(1, 11, SpecimenRecord::dueMarkText());
        window.findChild<QAction *>(QStringLiteral("scgqsj"))->trigger();
        const QByteArray after = readFile(recordPath());
        if (dueToday == 0) {
            QCOMPARE(m_messages.lastText(), WindowText::noRecordsShown());
            QCOMPARE(after, file);
        } else if (writable) {
            QCOMPARE(m_messages.shown.size(), 0);
            QList<QByteArray> expected = rawLines(file);
            QVERIFY(expected.removeOne(rawLines(file).value(rawLines(file).indexOf(
                recordLine(QStringLiteral("1#楼梁"), kToday + QStringLiteral(" 09:30"))))));
            QCOMPARE(rawLines(after), expected);
        } else {
            QCOMPARE(m_messages.shown.size(), 1);
            QCOMPARE(m_messages.shown[0].title, Title::error());
            QVERIFY2(m_messages.shown[0].text.contains(kNotGbk),
                     qPrintable(m_messages.shown[0].text));
            QCOMPARE(after, file);
        }
    }

    // The entry form holds every record and adds one, writing back what it read.
    writeFile(recordPath(), file);
    m_messages.shown.clear();
    {
        Form2 form(services());
        QCOMPARE(form.grid()->rows(), filled + 2);
        QCOMPARE(m_messages.shown.size(), 0);
    }
    addThroughEntryForm();
    QCOMPARE(m_messages.shown.size(), 1);
    const QByteArray after = readFile(recordPath());
    if (writable) {
        QCOMPARE(m_messages.shown[0].text, StoreText::added());
        QList<QByteArray> lines = filledLines(after);
        QCOMPARE(lines.size(), filled + 1);
        QVERIFY(lines.takeLast().startsWith(gbk(QStringLiteral("新加的梁,C30,P-09,"))));
        QCOMPARE(lines, filledLines(file));
    } else {
        QCOMPARE(m_messages.shown[0].title, Title::error());
        QVERIFY2(m_messages.shown[0].text.contains(kNotGbk), qPrintable(m_messages.shown[0].text));
        QCOMPARE(after, file);
    }
    ++m_inputsTried;
}

QString TestHostileFiles::makeUnusable(const QString &kind)
{
    const QString path = recordPath();
    QFile::remove(path);
    QDir(path).removeRecursively();
    bool made = true;
    if (kind == QLatin1String("folder"))
        made = QDir().mkdir(path);
    else if (kind == QLatin1String("link to itself"))
        made = QFile::link(path, path);
    else if (kind == QLatin1String("UTF-8"))
        writeFile(
            path,
            sample(QStringLiteral("一号楼梁"), kToday + QStringLiteral(" 09:30")).text().toUtf8());
#ifdef Q_OS_UNIX
    else if (kind == QLatin1String("pipe"))
        made = mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    else if (kind == QLatin1String("device link"))
        made = QFile::link(QStringLiteral("/dev/zero"), path);
#else
    else if (kind != QLatin1String("gone"))
        return QStringLiteral("no pipes or devices here");
#endif
    return made ? QString() : QStringLiteral("could not make the ") + kind;
}

void TestHostileFiles::recordFileNamedWhenUnusable_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("said"); // the one message, at start and at a reload
    const auto cannotRead = [](const QString &reason) {
        return StoreText::cannotRead(QStringLiteral("%1"), reason);
    };
    QTest::newRow("folder") << "folder" << cannotRead(StoreText::isFolder());
    QTest::newRow("pipe") << "pipe" << cannotRead(StoreText::notRegular());
    QTest::newRow("link to /dev/zero") << "device link" << cannotRead(StoreText::notRegular());
    QTest::newRow("link to itself")
        << "link to itself" << cannotRead(StoreText::brokenLink(QStringLiteral("%1")));
    QTest::newRow("UTF-8") << "UTF-8" << StoreText::utf8Loaded(QStringLiteral("%1"));
    QTest::newRow("gone while running")
        << "gone" << StoreText::recordFileGone(QStringLiteral("%1"));
}

void TestHostileFiles::recordFileNamedWhenUnusable()
{
    QFETCH(QString, kind);
    QFETCH(QString, said);
    said = said.arg(QDir::toNativeSeparators(recordPath()));
    const QByteArray good = recordLine(QStringLiteral("1#楼梁"), kToday + QStringLiteral(" 09:30"));
    const int shownToday = kind == QLatin1String("UTF-8") ? 1 : 0;

    // At start: named once, the window up, nothing written.
    if (kind != QLatin1String("gone")) {
        if (const QString why = makeUnusable(kind); !why.isEmpty())
            QSKIP(qPrintable(why));
        Form1 window(services());
        window.Form_Load();
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown[0].text, said);
        QCOMPARE(window.grid()->rows(), shownToday + 2);
        m_messages.shown.clear();
    }

    // While running: a good file loaded quietly, then replaced, and read again.
    QFile::remove(recordPath());
    QDir(recordPath()).removeRecursively();
    writeFile(recordPath(), good + "\r\n" + kClosingLine);
    Form1 window(services());
    window.Form_Load();
    QCOMPARE(m_messages.shown.size(), 0);
    QCOMPARE(window.grid()->rows(), 3);
    QCOMPARE(makeUnusable(kind), QString());
    window.daoru();
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.shown[0].text, said);
    QCOMPARE(window.grid()->rows(), shownToday + 2);
    ++m_inputsTried;
}

void TestHostileFiles::exchangeFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("sections"); // as ListIniSections gives them
    QTest::addColumn<QString>("key");          // a key of the first section ...
    QTest::addColumn<QString>("value");        // ... and what ReadIniValue gives for it
    QTest::addColumn<QString>("slot");         // the slot a dispatch and a popup take, or none

    const QString flag = ReminderSlots::flagKey();
    const QByteArray fresh = ReminderSlots::resetBytes(1);
    const QStringList freshSections{QStringLiteral("1|1"), QStringLiteral("2|1"),
                                    QStringLiteral("3|1"), QStringLiteral("4|1"),
                                    QStringLiteral("5|1")};

    QByteArray garbage(64 * 1024, Qt::Uninitialized);
    QRandomGenerator random(8);
    for (char &c : garbage) {
        c = char(random.bounded(256));
        if (c == '[')
            c = '(';
    }
    QTest::newRow("garbage") << garbage << QStringList() << flag << QString() << QString();

    QByteArray missing = fresh;
    missing.replace(gbk(QStringLiteral("[1|1]\r\n是否显示=0\r\n")), "[1|1]\r\n");
    missing.replace(gbk(QStringLiteral("[2|1]\r\n是否显示=0\r\n编号=0\r\n工程部位=0\r\n")),
                    gbk(QStringLiteral("[2|1]\r\n是否显示=0\r\n")));
    QTest::newRow("missing keys") << missing << freshSections << flag << QString()
                                  << QStringLiteral("2|1");

    const QByteArray held = gbk(QStringLiteral("[1|1]\r\n是否显示=1\r\n备注=甲\r\n"));
    QTest::newRow("duplicate sections")
        << held + gbk(QStringLiteral("[1|1]\r\n是否显示=0\r\n备注=乙\r\n[2|1]\r\n是否显示=0\r\n"))
        << QStringList{QStringLiteral("1|1"), QStringLiteral("1|1"), QStringLiteral("2|1")}
        << QStringLiteral("备注") << QStringLiteral("甲") << QStringLiteral("2|1");

    // A damaged file of 100,000 held copies of one slot before the free one (2 MB).
    QStringList manySections(100000, QStringLiteral("1|1"));
    manySections << QStringLiteral("2|1");
    QTest::newRow("100,000 duplicate sections")
        << gbk(QStringLiteral("[1|1]\r\n是否显示=1\r\n")).repeated(100000) +
               gbk(QStringLiteral("[2|1]\r\n是否显示=0\r\n"))
        << manySections << flag << QStringLiteral("1") << QStringLiteral("2|1");

    const QString big(1 << 19, QChar(0x6881)); // 1 MB in code page 936
    QByteArray hugeValue = fresh;
    hugeValue.replace(gbk(QStringLiteral("[1|1]\r\n是否显示=0\r\n编号=0\r\n")),
                      gbk(QStringLiteral("[1|1]\r\n是否显示=0\r\n编号=") + big + "\r\n"));
    QTest::newRow("1 MB value") << hugeValue << freshSections << QStringLiteral("编号") << big
                                << QStringLiteral("1|1");

    QTest::newRow("section names without |")
        << gbk(QStringLiteral(
               "[11]\r\n是否显示=0\r\n[abc]\r\n是否显示=0\r\n[ 1|1 ]\r\n是否显示=0\r\n"
               "[1|01]\r\n是否显示=0\r\n[]\r\n是否显示=0\r\n[3|2]\r\n是否显示=0\r\n"))
        << QStringList{QStringLiteral("11"),
                       QStringLiteral("abc"),
                       QStringLiteral(" 1|1 "),
                       QStringLiteral("1|01"),
                       QString(),
                       QStringLiteral("3|2")}
        << flag << QStringLiteral("0") << QStringLiteral("3|2");

    QByteArray flagsNotNumbers = fresh;
    flagsNotNumbers.replace(gbk(QStringLiteral("[1|1]\r\n是否显示=0")),
                            gbk(QStringLiteral("[1|1]\r\n是否显示=是")));
    flagsNotNumbers.replace(gbk(QStringLiteral("[2|1]\r\n是否显示=0")),
                            gbk(QStringLiteral("[2|1]\r\n是否显示=")));
    QTest::newRow("flags that are not numbers") << flagsNotNumbers << freshSections << flag
                                                << QStringLiteral("是") << QStringLiteral("3|1");

    QByteArray bareLf = fresh;
    bareLf.replace("\r\n", "\n");
    QTest::newRow("bare LF line ends")
        << bareLf << freshSections << flag << QStringLiteral("0") << QStringLiteral("1|1");
}

void TestHostileFiles::exchangeFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, sections);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, slot);
    writeFile(exchangePath(), file);

    // The read routines of both programs.
    QCOMPARE(ListIniSections(exchangePath()), sections);
    if (!sections.isEmpty())
        QCOMPARE(ReadIniValue(sections.first(), key, exchangePath()), value);

    // The dispatcher fills the first free slot and leaves everything else as it was, or tells
    // the user and writes nothing.
    const QStringList cells{QStringLiteral("7"),
                            QStringLiteral("七号楼"),
                            QStringLiteral("C40"),
                            QStringLiteral("P-07"),
                            QStringLiteral("2026-12-3 09:04"),
                            QStringLiteral("3"),
                            QStringLiteral("2026-12-06 09:04"),
                            QStringLiteral("标准养护"),
                            QStringLiteral("9"),
                            QStringLiteral("2"),
                            QStringLiteral("备注[x]=y")};
    {
        int launched = 0;
        const std::unique_ptr<ReminderDispatcher> dispatcher = dispatcherCounting(&launched);
        QSignalSpy notShown(dispatcher.get(), &ReminderDispatcher::reminderNotShown);
        const ReminderDispatcher::Result result = dispatcher->dispatch(cells);
        QCOMPARE(result.slot, slot);
        const QByteArray after = readFile(exchangePath());
        if (slot.isEmpty()) {
            QCOMPARE(launched, 0);
            QCOMPARE(notShown.size(), 1);
            const QString message = notShown[0][0].toString();
            QVERIFY2(message.contains(QStringLiteral("七号楼")), qPrintable(message));
            QCOMPARE(after, file);
        } else {
            QCOMPARE(launched, 1);
            QCOMPARE(notShown.size(), 0);
            QCOMPARE(ProfileFile::sectionsIn(after), sections);
            QCOMPARE(ProfileFile::valueIn(after, slot, QStringLiteral("工程部位")),
                     QStringLiteral("七号楼"));
            QCOMPARE(ProfileFile::valueIn(after, slot, QStringLiteral("备注")),
                     QStringLiteral("备注[x]=y"));
            // Every other slot reads as before (a repeated name reads its first section).
            for (const QString &other : QSet<QString>(sections.cbegin(), sections.cend())) {
                if (other == slot)
                    continue;
                for (const QString &k : ReminderSlots::resetKeys()) {
                    QCOMPARE(ProfileFile::valueIn(after, other, k),
                             ProfileFile::valueIn(file, other, k));
                }
            }
        }
    }

    // A real popup on the file as it was: claims the same slot and frees it on closing, or
    // says it found none and leaves the file alone.
    writeFile(exchangePath(), file);
    const std::unique_ptr<QProcess> vexa = startVexa();
    QVERIFY(vexa->waitForFinished(60000));
    QCOMPARE(vexa->exitStatus(), QProcess::NormalExit);
    if (slot.isEmpty()) {
        QCOMPARE(vexa->exitCode(), 1);
        QVERIFY(QString::fromLocal8Bit(vexa->readAllStandardError())
                    .contains(ExchangeText::popupFailed()));
        QCOMPARE(readFile(exchangePath()), file);
    } else {
        QCOMPARE(vexa->exitCode(), 0);
        QCOMPARE(vexa->readAllStandardOutput(), Handoff::receipt(slot));
        const QByteArray after = readFile(exchangePath());
        QCOMPARE(ProfileFile::valueIn(after, slot, ReminderSlots::flagKey()), QStringLiteral("0"));
        QCOMPARE(ProfileFile::sectionsIn(after), sections);
    }
    ++m_inputsTried;
}

QString TestHostileFiles::block(const QString &how, const QString &target,
                                std::unique_ptr<FileSizeLimit> *limit)
{
    const QString rootPasses =
        QStringLiteral("running as root: permission bits do not stop root's writes. The other "
                       "rows block the write in ways root cannot pass.");
    if (how == QLatin1String("data folder is a file")) {
        m_folder = m_dir->filePath(QStringLiteral("not-a-folder"));
        writeFile(m_folder, "a file where the data folder should be");
    } else if (how == QLatin1String("target is a folder")) {
        QDir().mkpath(target + QStringLiteral("/inside"));
    } else if (how == QLatin1String("disk full")) {
        // Room for a lock file, not for the files written here, which are larger.
        *limit = std::make_unique<FileSizeLimit>(256);
        return (*limit)->ok() ? QString() : QStringLiteral("no file size limit here");
    } else if (how == QLatin1String("read-only file")) {
        QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        return runningAsRoot() ? rootPasses : QString();
    } else if (how == QLatin1String("read-only folder")) {
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner);
        return runningAsRoot() ? rootPasses : QString();
    } else if (how.startsWith(QLatin1String("no space left"))) {
        // The data folder moves onto a disk that is then filled, the file written there first.
        const QString full = m_dir->filePath(QStringLiteral("full"));
        m_fullDisk = std::make_unique<FullDisk>(full);
        if (!m_fullDisk->mounted())
            return QStringLiteral("a full disk is a small tmpfs mounted here: needs Linux, root");
        const QString moved = QDir(full).filePath(QFileInfo(target).fileName());
        if (QFileInfo::exists(target) && !QFile::copy(target, moved))
            return QStringLiteral("cannot copy the file onto the small disk");
        m_folder = full;
        // A lock file takes one page of a tmpfs. Room for part of a file makes the write stop
        // half-way, where the system's error is all there is to go by.
        const qint64 room = how.contains(QLatin1String("lock"))   ? 4096
                            : how.contains(QLatin1String("part")) ? 8192
                                                                  : 0;
        if (!m_fullDisk->fill(room))
            return QStringLiteral("cannot fill the small disk");
    } else if (how == QLatin1String("symbolic link")) {
#ifdef Q_OS_UNIX
        // The file is a link to another one, which no write may change.
        const QString elsewhere = m_dir->filePath(QStringLiteral("elsewhere.txt"));
        if (!QFile::rename(target, elsewhere) || !QFile::link(elsewhere, target))
            return QStringLiteral("cannot make a symbolic link here");
#else
        return QStringLiteral("symbolic links are tried on Unix");
#endif
    }
    return {};
}

QString TestHostileFiles::causeNamed(const QString &how) const
{
    if (how.startsWith(QLatin1String("no space left")))
        return BaseText::diskFull();
    if (how == QLatin1String("symbolic link"))
        return BaseText::symbolicLink(
            QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("elsewhere.txt"))));
    return {};
}

void TestHostileFiles::recordWriteRefused_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("command");
    for (const QString how :
         {"data folder is a file", "target is a folder", "disk full", "read-only file",
          "read-only folder", "no space left but for part of the file", "symbolic link"}) {
        for (const QString command : {"添加", "删除过期数据", "数据初始化"}) {
            // An empty file fits on any disk, the copy kept before data initialisation does not.
            QTest::addRow("%s, %s", qPrintable(how), qPrintable(command)) << how << command;
        }
    }
}

void TestHostileFiles::recordWriteRefused()
{
    QFETCH(QString, how);
    QFETCH(QString, command);
    // Larger than the disk-full rows leave room for, with one record due today.
    QByteArray file = recordLine(QStringLiteral("1#楼梁"), kToday + QStringLiteral(" 09:30"));
    for (int i = 2; i <= 300; ++i) {
        file += "\r\n" +
                recordLine(QStringLiteral("%1#楼梁").arg(i), QStringLiteral("2026-12-29 08:30"));
    }
    file += "\r\n" + kClosingLine;
    if (how != QLatin1String("target is a folder"))
        writeFile(recordPath(), file);
    std::unique_ptr<FileSizeLimit> limit;
    const QString cannotBlock = block(how, recordPath(), &limit);
    if (!cannotBlock.isEmpty())
        QSKIP(qPrintable(cannotBlock));
    const QString path = recordPath();
    // Where there is no record file the main window shows none.
    std::unique_ptr<Form1> window;
    if (command != QStringLiteral("添加")) {
        window = std::make_unique<Form1>(services());
        window->Form_Load();
        QCOMPARE(window->grid()->rows(), QFileInfo(path).isFile() ? 3 : 2);
        window->grid()->setTextMatrix(1, 11, SpecimenRecord::dueMarkText());
    }
    const QByteArray before = readFile(path);
    const bool wasFolder = QFileInfo(path).isDir();

    if (command == QStringLiteral("添加")) {
        addThroughEntryForm();
    } else if (command == QStringLiteral("删除过期数据")) {
        window->findChild<QAction *>(QStringLiteral("scgqsj"))->trigger();
    } else {
        window->findChild<QAction *>(QStringLiteral("sjcsh"))->trigger();
    }
    limit.reset();

    QCOMPARE(readFile(path), before);
    QCOMPARE(QFileInfo(path).isDir(), wasFolder);
    if (command == QStringLiteral("数据初始化") && !QFileInfo(path).isFile()) {
        // Nothing to initialise where there is no record file.
        QCOMPARE(m_messages.lastText(), WindowText::nothingToInitialise());
    } else if (command == QStringLiteral("删除过期数据") && !window->grid()->hasRecords()) {
        QCOMPARE(m_messages.lastText(), WindowText::noRecordsShown());
    } else {
        QVERIFY(!m_messages.shown.isEmpty());
        QCOMPARE(m_messages.shown.last().title, Title::error());
        const QString text = m_messages.shown.last().text;
        QVERIFY2(text.contains(BaseText::unchanged({})), qPrintable(text));
        QVERIFY2(text.contains(causeNamed(how)), qPrintable(text));
        // The record file's words, not the exchange file's: which file was left alone.
        QVERIFY2(text.contains(StoreText::recordFile()) && text.contains(path), qPrintable(text));
    }
    QCOMPARE(QFileInfo(path).isSymLink(), how == QLatin1String("symbolic link"));
    ++m_inputsTried;
}

void TestHostileFiles::exchangeWriteRefused_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("writer");
    for (const char *how :
         {"data folder is a file", "target is a folder", "disk full", "read-only file",
          "read-only folder", "no space left", "no space left but for the lock", "symbolic link"}) {
        for (const char *writer : {"dispatcher", "vexa", "提示初始化"})
            QTest::addRow("%s, %s", how, writer)
                << QString::fromLatin1(how) << QString::fromUtf8(writer);
    }
}

void TestHostileFiles::exchangeWriteRefused()
{
    QFETCH(QString, how);
    QFETCH(QString, writer);
    const QByteArray file = ReminderSlots::resetBytes(2);
    if (how != QLatin1String("target is a folder"))
        writeFile(exchangePath(), file);
    std::unique_ptr<FileSizeLimit> limit;
    const QString cannotBlock = block(how, exchangePath(), &limit);
    if (!cannotBlock.isEmpty())
        QSKIP(qPrintable(cannotBlock));
    const QString path = exchangePath();
    const QByteArray before = readFile(path);
    const bool wasFolder = QFileInfo(path).isDir();

    if (writer == QLatin1String("dispatcher")) {
        int launched = 0;
        const std::unique_ptr<ReminderDispatcher> dispatcher = dispatcherCounting(&launched);
        QSignalSpy notShown(dispatcher.get(), &ReminderDispatcher::reminderNotShown);
        const ReminderDispatcher::Result result = dispatcher->dispatch(
            sample(QStringLiteral("三号楼"), QStringLiteral("2026-12-06 09:04")).cells());
        limit.reset();
        QCOMPARE(result.slot, QString());
        QCOMPARE(launched, 0);
        // The record reaches the user by another way, with the reason.
        QCOMPARE(notShown.size(), 1);
        const QString message = notShown[0][0].toString();
        QVERIFY2(message.contains(QStringLiteral("三号楼")) &&
                     message.contains(QStringLiteral("2026-12-06 09:04")),
                 qPrintable(message));
        QVERIFY2(message.contains(path) || message.contains(m_folder), qPrintable(message));
        QVERIFY2(message.contains(causeNamed(how)), qPrintable(message));
    } else if (writer == QStringLiteral("提示初始化")) {
        ReminderReset(services(), 15 * 1080).tscsh_Click();
        limit.reset();
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown[0].title, Title::error());
        const QString text = m_messages.shown[0].text;
        QVERIFY2(text.contains(BaseText::unchanged({})) && text.contains(causeNamed(how)),
                 qPrintable(text));
    } else {
        const std::unique_ptr<QProcess> vexa = startVexa();
        QVERIFY(vexa->waitForStarted(60000));
        limit.reset();
        QVERIFY(vexa->waitForFinished(60000));
        QCOMPARE(vexa->exitStatus(), QProcess::NormalExit);
        QCOMPARE(vexa->exitCode(), 1);
        const QString error = QString::fromLocal8Bit(vexa->readAllStandardError());
        QVERIFY2(error.contains(ExchangeText::popupFailed()), qPrintable(error));
        QVERIFY2(error.contains(causeNamed(how)), qPrintable(error));
    }
    QCOMPARE(readFile(path), before);
    QCOMPARE(QFileInfo(path).isDir(), wasFolder);
    QCOMPARE(QFileInfo(path).isSymLink(), how == QLatin1String("symbolic link"));
    ++m_inputsTried;
}

QTEST_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
