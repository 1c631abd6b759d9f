#include "basetexts.h"
#include "fakes.h"
#include "filelock.h"
#include "form1.h"
#include "recordbackups.h"
#include "recordcorrection.h"
#include "recordfile.h"
#include "recordgridmodel.h"
#include "recordgridview.h"
#include "recordmaintenance.h"
#include "specimenrecord.h"
#include "storetexts.h"
#include "testfiles.h"
#include "titles.h"
#include "windowtexts.h"

#include <QAction>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

namespace {
const QString kDue = SpecimenRecord::dueMarkText();

QStringList marked(const SampleRecord &record)
{
    return record.stored + QStringList{kDue};
}

// Rows 1.. hold the records (ten fields, an eleventh for the due mark), then the spare row.
void fill(RecordGridModel *grid, const QList<QStringList> &records)
{
    grid->setRows(int(records.size()) + 2);
    for (int r = 0; r < records.size(); ++r) {
        for (int c = 0; c < records[r].size(); ++c)
            grid->setTextMatrix(r + 1, c + 1, records[r][c]);
    }
    grid->renumber();
}

// Each row after the header as "number|工程部位".
QStringList rowSummary(const RecordGridModel *grid)
{
    QStringList rows;
    for (int r = 1; r < grid->rows(); ++r)
        rows << grid->textMatrix(r, 0) + QLatin1Char('|') + grid->textMatrix(r, 1);
    return rows;
}
} // namespace

class TestRecordMaintenance : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void doubleClickRemovesOneGridRow_data();
    void doubleClickRemovesOneGridRow();
    void expiredRecordsLeaveTheFile_data();
    void expiredRecordsLeaveTheFile();
    void emptyGridWritesNothing_data();
    void emptyGridWritesNothing();
    void unusableFileChangesNothing();
    void dataInitialisation_data();
    void dataInitialisation();
    void mainWindowCommands();
    void nothingGoesWithoutYes_data();
    void nothingGoesWithoutYes();
    void writersTakeTurnsWithOtherCopies_data();
    void writersTakeTurnsWithOtherCopies();

private:
    QString recordPath() const { return m_dir->filePath(QStringLiteral("a.bz")); }

    QTemporaryDir *m_dir = nullptr;
    RecordingMessages m_messages;
    RecordGridModel *m_grid = nullptr;
    RecordGridView *m_view = nullptr;
    RecordMaintenance *m_maintenance = nullptr;
};

void TestRecordMaintenance::init()
{
    m_dir = new QTemporaryDir;
    m_messages.shown.clear();
    m_messages.asked.clear();
    m_messages.answer = true;
    m_grid = new RecordGridModel(13);
    const QStringList headers = SpecimenRecord::gridHeaders();
    for (int c = 0; c < headers.size(); ++c)
        m_grid->setTextMatrix(0, c, headers[c]);
    m_view = new RecordGridView(m_grid);
    m_maintenance = new RecordMaintenance(m_grid, m_view, RecordStore(recordPath()), &m_messages);
}

void TestRecordMaintenance::cleanup()
{
    delete m_maintenance;
    delete m_view;
    delete m_grid;
    delete m_dir;
}

void TestRecordMaintenance::doubleClickRemovesOneGridRow_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("after");
    // Grid: 甲, 乙, 丙 in rows 1 to 3, the spare row 4.
    QTest::newRow("middle row") << 2 << QStringList{"1|甲", "2|丙", "3|"};
    // The spare row's empty cells move up and the remaining last row gets a number.
    QTest::newRow("last record row") << 3 << QStringList{"1|甲", "2|乙", "3|"};
    QTest::newRow("spare row") << 4 << QStringList{"1|甲", "2|乙", "3|丙"};
    QTest::newRow("first row") << 1 << QStringList{"1|乙", "2|丙", "3|"};
    QTest::newRow("nothing selected") << 0 << QStringList{"1|甲", "2|乙", "3|丙", "|"};
}

void TestRecordMaintenance::doubleClickRemovesOneGridRow()
{
    QFETCH(int, selected);
    QFETCH(QStringList, after);
    const QByteArray file = sample(QStringLiteral("甲")).line() + "\r\n" +
                            sample(QStringLiteral("乙")).line() + "\r\n" +
                            sample(QStringLiteral("丙")).line() + "\r\n,,,,,,,,,,";
    writeFile(recordPath(), file);
    fill(m_grid, {sample(QStringLiteral("甲")).stored, marked(sample(QStringLiteral("乙"))),
                  sample(QStringLiteral("丙")).stored});
    m_grid->setCellBackColour(2, 1, RecordGridModel::SystemHighlight);
    if (selected > 0)
        m_view->setCurrentIndex(m_grid->index(selected - 1, 3));
    else
        m_view->setCurrentIndex(QModelIndex());

    m_maintenance->shanchuxuanzhong();
    QCOMPARE(rowSummary(m_grid), after);
    // Colours stay with the row positions, texts move.
    QCOMPARE(m_grid->cellBackColour(2, 1), RecordGridModel::SystemHighlight);
    QCOMPARE(m_grid->textMatrix(2, 11), selected == 2 || selected == 1 ? QString() : kDue);
    QCOMPARE(readFile(recordPath()), file);
    QVERIFY(m_messages.shown.isEmpty());
}

void TestRecordMaintenance::expiredRecordsLeaveTheFile_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QList<QStringList>>("grid");
    QTest::addColumn<QByteArray>("after");

    const SampleRecord a = sample(QStringLiteral("甲"));
    const SampleRecord b =
        sample(QStringLiteral("乙")).with(SpecimenRecord::Remark, QStringLiteral("复检"));
    const SampleRecord c = sample(QStringLiteral("丙"));

    QTest::newRow("due record removed, closing line gets CR LF")
        << a.line() + "\r\n" + b.line() + "\r\n" + kClosingLine
        << QList<QStringList>{marked(a), b.stored} << b.line() + "\r\n" + kClosingLine + "\r\n";
    QTest::newRow("duplicates removed, also those not shown")
        << a.line() + "\r\n" + b.line() + "\r\n" + a.line() + "\r\n" + a.line() + "\r\n"
        << QList<QStringList>{marked(a)} << b.line() + "\r\n";
    // The longer line's first field ends with the due record's first field.
    const SampleRecord longer = sample(QStringLiteral("乙甲"));
    QTest::newRow("longer line ending with a due line kept")
        << longer.line() + "\r\n" + a.line() + "\r\n"
        << QList<QStringList>{marked(a)} << longer.line() + "\r\n";
    const QByteArray gaps = gbk(QStringLiteral("丁,,,,,2026-12-06 10:00,,,,,"));
    QTest::newRow("empty remark and empty fields written back unchanged")
        << a.line() + "\r\n" + gaps + "\r\n" + c.line() << QList<QStringList>{marked(c), a.stored}
        << a.line() + "\r\n" + gaps + "\r\n";
    QTest::newRow("none marked: same lines, each with CR LF")
        << a.line() + "\r\n" + b.line() + "\r\n" + kClosingLine
        << QList<QStringList>{a.stored, b.stored}
        << a.line() + "\r\n" + b.line() + "\r\n" + kClosingLine + "\r\n";
    QTest::newRow("all removed leaves an empty file")
        << a.line() + "\r\n" + b.line() << QList<QStringList>{marked(a), marked(b)} << QByteArray();
    // The grid still shows records after data initialisation emptied the file.
    QTest::newRow("emptied file stays empty")
        << QByteArray() << QList<QStringList>{marked(a)} << QByteArray();
    QTest::newRow("marked row whose line is gone")
        << b.line() + "\r\n"
        << QList<QStringList>{marked(a), b.stored} << b.line() + "\r\n";
}

void TestRecordMaintenance::expiredRecordsLeaveTheFile()
{
    QFETCH(QByteArray, before);
    QFETCH(QList<QStringList>, grid);
    QFETCH(QByteArray, after);
    writeFile(recordPath(), before);
    fill(m_grid, grid);
    const QStringList shown = rowSummary(m_grid);

    m_maintenance->scgqsj_Click();
    QCOMPARE(readFile(recordPath()), after);
    QVERIFY(m_messages.shown.isEmpty());
    // The grid keeps showing the removed records until the next load.
    QCOMPARE(rowSummary(m_grid), shown);
}

void TestRecordMaintenance::emptyGridWritesNothing_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("header and spare row") << 2;
    QTest::newRow("header only") << 1;
}

void TestRecordMaintenance::emptyGridWritesNothing()
{
    QFETCH(int, rows);
    const QByteArray file = sample(QStringLiteral("甲")).line() + "\r\n,,,,,,,,,,";
    writeFile(recordPath(), file);
    m_grid->setRows(rows);

    m_maintenance->scgqsj_Click();
    QCOMPARE(readFile(recordPath()), file);
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.lastText(), WindowText::noRecordsShown());
    QCOMPARE(m_messages.shown.last().title, Title::notice());
    QCOMPARE(m_messages.shown.last().style, MessageStyle::Information);
}

void TestRecordMaintenance::unusableFileChangesNothing()
{
    fill(m_grid, {marked(sample(QStringLiteral("甲")))});

    // Missing: said so, and no file appears.
    m_maintenance->scgqsj_Click();
    QVERIFY(!QFileInfo::exists(recordPath()));
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.lastText(), WindowText::noRecordFile(recordPath()));
    QCOMPARE(m_messages.shown.last().style, MessageStyle::Exclamation);

    // A line that is not valid GBK cannot be written back as it was: the file stays whole.
    const QByteArray file =
        QByteArray("\x81\x20\xFF,bad,\r\n") + sample(QStringLiteral("甲")).line();
    writeFile(recordPath(), file);
    m_maintenance->scgqsj_Click();
    QCOMPARE(readFile(recordPath()), file);
    QCOMPARE(m_messages.shown.size(), 2);
    QVERIFY(m_messages.lastText().contains(StoreText::recordFileUnchanged()));
    QCOMPARE(m_messages.shown.last().title, Title::error());
}

void TestRecordMaintenance::dataInitialisation_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("messages"); // two runs in a row
    const QString done = WindowText::initialised();
    const QString nothing = WindowText::nothingToInitialise();
    QTest::newRow("absent") << false << QByteArray() << QStringList{nothing, nothing};
    QTest::newRow("with records") << true << sample(QStringLiteral("甲")).line() + "\r\n,,,,,,,,,,"
                                  << QStringList{done, done};
    QTest::newRow("empty") << true << QByteArray() << QStringList{done, done};
}

void TestRecordMaintenance::dataInitialisation()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, messages);
    if (exists)
        writeFile(recordPath(), content);

    for (int run = 0; run < 2; ++run) {
        m_maintenance->sjcsh_Click();
        QCOMPARE(QFileInfo::exists(recordPath()), exists);
        if (exists)
            QCOMPARE(QFileInfo(recordPath()).size(), 0);
        QCOMPARE(m_messages.shown.size(), run + 1);
        QCOMPARE(m_messages.lastText(), messages[run]);
        QCOMPARE(m_messages.shown.last().title, Title::notice());
        QCOMPARE(m_messages.shown.last().style, MessageStyle::Information);
    }
    // Nothing but the record file is touched.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), exists ? 1 : 0);
}

void TestRecordMaintenance::mainWindowCommands()
{
    FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(8, 0)));
    ManagerServices services{m_dir->path(), &clock, &m_messages, {}};
    const QByteArray a = sample(QStringLiteral("甲"), QStringLiteral("2026-12-06 09:05")).line();
    const QByteArray b = sample(QStringLiteral("乙"), QStringLiteral("2026-12-06 09:05")).line();
    writeFile(recordPath(), a + "\r\n" + b + "\r\n,,,,,,,,,,");
    Form1 window(services);
    window.Form_Load();
    RecordGridModel *grid = window.grid();
    QCOMPARE(grid->rows(), 4);

    // A double click removes the row from the grid only; reading the data brings it back.
    window.gridView()->setCurrentIndex(grid->index(0, 2));
    emit window.gridView()->doubleClicked(grid->index(0, 2));
    QCOMPARE(rowSummary(grid), (QStringList{"1|乙", "2|"}));
    window.findChild<QAction *>(QStringLiteral("dq"))->trigger();
    QCOMPARE(rowSummary(grid), (QStringList{"1|甲", "2|乙", "|"}));

    grid->setTextMatrix(2, SpecimenRecord::DueMarkColumn, kDue);
    window.findChild<QAction *>(QStringLiteral("scgqsj"))->trigger();
    QCOMPARE(readFile(recordPath()), a + "\r\n,,,,,,,,,,\r\n");

    window.findChild<QAction *>(QStringLiteral("sjcsh"))->trigger();
    QCOMPARE(readFile(recordPath()), QByteArray());
    QCOMPARE(m_messages.lastText(), WindowText::initialised());
    // The grid keeps its rows until it is loaded again.
    QCOMPARE(grid->rows(), 4);
}

void TestRecordMaintenance::nothingGoesWithoutYes_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("named"); // what the question must name
    QTest::newRow("数据初始化") << "sjcsh" << QStringList{WindowText::allRecords(4), "a.bz"};
    QTest::newRow("删除过期数据") << "scgqsj"
                                  << QStringList{WindowText::deleteDueQuestion(2),
                                                 WindowText::duplicateLines(3), "工程部位 甲",
                                                 "工程部位 丙"};
    QTest::newRow("double click") << "double click" << QStringList{"编号 2，工程部位 乙，"};
}

void TestRecordMaintenance::nothingGoesWithoutYes()
{
    QFETCH(QString, command);
    QFETCH(QStringList, named);
    // 甲 twice in the file (both lines go), 乙 and 丙 once; 甲 and 丙 shown as due.
    const SampleRecord sample;
    const SampleRecord a = sample.with(SpecimenRecord::WorksPart, QStringLiteral("甲")),
                       b = sample.with(SpecimenRecord::WorksPart, QStringLiteral("乙")),
                       c = sample.with(SpecimenRecord::WorksPart, QStringLiteral("丙"));
    const QByteArray file = a.line() + "\r\n" + b.line() + "\r\n" + a.line() + "\r\n" + c.line();
    writeFile(recordPath(), file);
    fill(m_grid, {marked(a), b.stored, marked(c)});
    m_view->setCurrentIndex(m_grid->index(1, 1));
    const QStringList shown = rowSummary(m_grid);
    const auto run = [&] {
        if (command == QLatin1String("sjcsh"))
            m_maintenance->sjcsh_Click();
        else if (command == QLatin1String("scgqsj"))
            m_maintenance->scgqsj_Click();
        else
            m_maintenance->shanchuxuanzhong();
    };

    // "否" (the default answer) leaves the file byte for byte and the grid row for row.
    m_messages.answer = false;
    run();
    QCOMPARE(m_messages.asked.size(), 1);
    QVERIFY(m_messages.asked[0].noByDefault);
    for (const QString &name : named)
        QVERIFY2(m_messages.asked[0].text.contains(name), qPrintable(m_messages.asked[0].text));
    QCOMPARE(readFile(recordPath()), file);
    QCOMPARE(rowSummary(m_grid), shown);
    QVERIFY(m_messages.shown.isEmpty());

    // "是" goes ahead.
    m_messages.answer = true;
    run();
    QCOMPARE(m_messages.asked.size(), 2);
    if (command == QLatin1String("double click"))
        QCOMPARE(rowSummary(m_grid), (QStringList{"1|甲", "2|丙", "3|"}));
    else
        QVERIFY(readFile(recordPath()) != file);
}

void TestRecordMaintenance::writersTakeTurnsWithOtherCopies_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<QByteArray>("after"); // 甲 and 乙 in the file, then 丙 added by another copy
    QTest::addColumn<QString>("again");    // what the same step says run once more
    const QByteArray rest =
        sample(QStringLiteral("乙")).line() + "\r\n" + sample(QStringLiteral("丙")).line() + "\r\n";
    const QString gone = StoreText::recordGone();
    QTest::newRow("correction in the entry form's table")
        << "correct" << sample(QStringLiteral("甲改")).line() + "\r\n" + rest << gone;
    QTest::newRow("删除此条") << "remove" << rest << gone;
    QTest::newRow("删除过期数据") << "scgqsj" << rest << QString();
    QTest::newRow("数据初始化") << "sjcsh" << QByteArray() << QString();
    QTest::newRow("从备份恢复") << "restore" << kClosingLine << QString(); // the backup
}

// Every rewrite of a.bz but the add (tst_recordadder) waits for the lock another copy holds: held
// the whole wait, it says so as the add does and leaves the file and the backups alone; let go,
// it works on the file as the other copy left it, and keeps that very file as its backup.
void TestRecordMaintenance::writersTakeTurnsWithOtherCopies()
{
    QFETCH(QString, writer);
    QFETCH(QByteArray, after);
    QFETCH(QString, again);
    const SampleRecord a = sample(QStringLiteral("甲"));
    const QByteArray before = a.line() + "\r\n" + sample(QStringLiteral("乙")).line() + "\r\n";
    const QByteArray added = before + sample(QStringLiteral("丙")).line() + "\r\n";
    writeFile(recordPath(), before);
    fill(m_grid, {marked(a), sample(QStringLiteral("乙")).stored});
    const FakeClock clock(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
    RecordBackups backups(m_dir->path(), &clock, &m_messages);
    const QString old = backups.folder() + QStringLiteral("/a 2026-12-01.bz");
    QVERIFY(QDir().mkpath(backups.folder()));
    writeFile(old, kClosingLine);
    // Why the step wrote nothing; empty when it went ahead.
    const auto run = [&](int waitMs) {
        const RecordStore store(recordPath(), waitMs, &backups);
        m_messages.shown.clear();
        if (writer == QLatin1String("correct"))
            return RecordCorrection::correct(store, a.stored, SpecimenRecord::WorksPart,
                                             QStringLiteral("甲改"))
                .error;
        if (writer == QLatin1String("remove"))
            return RecordCorrection::remove(store, a.stored).error;
        if (writer == QLatin1String("restore"))
            return store.restore(old).error;
        RecordMaintenance maintenance(m_grid, m_view, store, &m_messages);
        writer == QLatin1String("scgqsj") ? maintenance.scgqsj_Click() : maintenance.sjcsh_Click();
        const bool failed =
            !m_messages.shown.isEmpty() && m_messages.shown.last().title == Title::error();
        return failed ? m_messages.lastText() : QString();
    };

    FileLock other(recordPath(), StoreText::recordFile(), 0);
    QVERIFY(other.isLocked());
    QCOMPARE(run(200), BaseText::fileBusy(StoreText::recordFile(), recordPath()));
    QCOMPARE(readFile(recordPath()), before);
    QCOMPARE(backups.list().size(), 1);

    // The other copy, at work a while, adds 丙 and lets go while this step waits.
    std::thread adding([&, lock = std::move(other)]() mutable {
        const FileLock held = std::move(lock);
        QThread::msleep(300);
        writeFile(recordPath(), added);
    });
    const QString error = run(30000);
    adding.join();
    QCOMPARE(error, QString());
    QCOMPARE(readFile(recordPath()), after);
    QCOMPARE(readFile(backups.list().constFirst().path), added);

    QCOMPARE(run(200), again);
    QCOMPARE(readFile(recordPath()), after);
}

QTEST_MAIN(TestRecordMaintenance)
#include "tst_recordmaintenance.moc"
