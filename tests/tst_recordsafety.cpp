#include "backupwindow.h"
#include "fakes.h"
#include "form1.h"
#include "recordbackups.h"
#include "recordgridmodel.h"
#include "storetexts.h"
#include "testfiles.h"
#include "unreadablerecordswindow.h"
#include "windowtexts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

// What the main window does with a record file it cannot fully use, and the way back from a
// rewrite: the unreadable lines named at start-up and reload, the backups and their restore.
class TestRecordSafety : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void namesUnreadableLinesOnceAtLoad();
    void dataInitialisationKeptAndRestoredByteForByte();
    void backupsItCannotUseAreNamed_data();
    void backupsItCannotUseAreNamed();

private:
    QString recordPath() const { return m_dir->filePath(QStringLiteral("a.bz")); }
    Form1 *start();
    QAction *item(const char *name) const
    {
        return m_window->findChild<QAction *>(QLatin1String(name));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeClock m_clock{QDateTime(QDate(2026, 12, 8), QTime(7, 0))};
    RecordingMessages m_messages;
    std::unique_ptr<Form1> m_window;
};

void TestRecordSafety::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_messages.shown.clear();
    m_messages.asked.clear();
}

void TestRecordSafety::cleanup()
{
    m_window.reset();
    m_dir.reset();
}

Form1 *TestRecordSafety::start()
{
    m_window = std::make_unique<Form1>(ManagerServices{m_dir->path(), &m_clock, &m_messages, {}});
    m_window->Form_Load();
    return m_window.get();
}

void TestRecordSafety::namesUnreadableLinesOnceAtLoad()
{
    const QByteArray good = gbk(sample(QStringLiteral("甲"), "2026-12-08 09:30").text());
    const QByteArray spreadsheet = gbk(sample(QStringLiteral("乙"), "2026-12-8 7:37").text());
    const QByteArray file = good + "\r\n" + spreadsheet + "\r\n,,,,,,,,,,";
    writeFile(recordPath(), file);
    start();

    UnreadableRecordsWindow *window = m_window->unreadableRecords();
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("无法识别的记录"));
    QVERIFY(!window->isModal());
    QCOMPARE(window->model()->lines().size(), 1);
    const RecordCheck::Unreadable &named = window->model()->lines()[0];
    QCOMPARE(named.line, 2);
    QVERIFY(named.start.startsWith(QStringLiteral("乙,C30,P-01")));
    QVERIFY2(named.reason.contains(QStringLiteral("“2026-12-08 07:37”")), qPrintable(named.reason));
    QCOMPARE(m_window->grid()->rows(), 3); // the good record alone
    QCOMPARE(readFile(recordPath()), file);
    QVERIFY(m_messages.shown.isEmpty());

    // Read and closed: a reload of the same lines does not bring it back; a new one does.
    window->accept();
    item("dq")->trigger();
    QVERIFY(!window->isVisible());
    writeFile(recordPath(), file + "\r\n" + good.first(20));
    item("dq")->trigger();
    QVERIFY(window->isVisible());
    QCOMPARE(window->model()->lines().size(), 2);
    QCOMPARE(window->model()->lines()[1].line, 4);
}

void TestRecordSafety::dataInitialisationKeptAndRestoredByteForByte()
{
    const QByteArray old =
        gbk(sample(QStringLiteral("甲"), "2026-12-08 09:30").text() + "\r\n" +
            sample(QStringLiteral("乙"), "2026-12-09 09:30").text() + "\r\n,,,,,,,,,,");
    writeFile(recordPath(), old);
    start();
    m_messages.answer = true;
    item("sjcsh")->trigger();
    QCOMPARE(m_messages.asked.size(), 1); // "数据初始化" asks first
    m_messages.asked.clear();
    QCOMPARE(m_messages.lastText(), WindowText::initialised());
    QCOMPARE(readFile(recordPath()), QByteArray());

    const QList<RecordBackups::Backup> kept = m_window->services().backups->list();
    QCOMPARE(kept.size(), 1);
    QCOMPARE(kept[0].occasion, StoreText::beforeInitialisation());
    QCOMPARE(readFile(kept[0].path), old);

    // "从备份恢复" shows the backup's records and asks, naming the file and the count.
    item("hfbf")->trigger();
    auto *window = m_window->findChild<BackupWindow *>();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->grid()->rows(), 4);
    QCOMPARE(window->grid()->textMatrix(2, 1), QStringLiteral("乙"));
    m_messages.answer = false;
    window->findChild<QPushButton *>(QStringLiteral("restoreBackup"))->click();
    QCOMPARE(m_messages.asked.size(), 1);
    QCOMPARE(m_messages.asked[0].text, WindowText::restoreQuestion(kept[0].fileName, 2, 0));
    QVERIFY(m_messages.asked[0].noByDefault); // the records of now are replaced
    QCOMPARE(readFile(recordPath()), QByteArray());

    m_messages.answer = true;
    m_clock.advanceSeconds(60);
    window->findChild<QPushButton *>(QStringLiteral("restoreBackup"))->click();
    QCOMPARE(readFile(recordPath()), old);
    // The emptied file it replaced is a backup too, and the main window follows the file.
    const QList<RecordBackups::Backup> after = m_window->services().backups->list();
    QCOMPARE(after.size(), 2);
    QCOMPARE(window->findChild<QComboBox *>()->count(), 2);
    QCOMPARE(readFile(after[0].path), QByteArray());
    QCOMPARE(after[0].occasion, StoreText::beforeRestore());
    QTRY_COMPARE_WITH_TIMEOUT(m_window->grid()->rows(), 3, 5000);
}

void TestRecordSafety::backupsItCannotUseAreNamed_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("named"); // what the window says of it; its path stands for %1
    QTest::addColumn<int>("shown");     // records in the grid; -1: no restore
    QString records;
    for (int i = 1; i <= 1500; ++i)
        records += sample(QStringLiteral("梁%1").arg(i), "2026-12-09 09:30").text() + "\r\n";
    QTest::newRow("cut off, more than the grid shows")
        << gbk(records).chopped(9)
        << WindowText::backupRecords(1500) + WindowText::backupRecordsShown(1000) +
               WindowText::backupUnreadableLines(1)
        << 1000;
    QTest::newRow("UTF-8") << records.left(300).toUtf8()
                           << WindowText::backupRecords(5) + WindowText::backupInUtf8() +
                                  WindowText::backupUnreadableLines(5)
                           << 5;
    const QString no = WindowText::backupUnreadable() + QStringLiteral("\n");
    const qint64 large = RecordBackups::LargestCopy + 1;
    QTest::newRow("too large") << QByteArray("large")
                               << no + StoreText::backupTooLarge("%1", large, large - 1) << -1;
    QTest::newRow("folder") << QByteArray("folder")
                            << no + StoreText::cannotReadBackup("%1", StoreText::isFolder()) << -1;
    QTest::newRow("pipe") << QByteArray("pipe")
                          << no + StoreText::cannotReadBackup("%1", StoreText::notRegular()) << -1;
}

void TestRecordSafety::backupsItCannotUseAreNamed()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, named);
    QFETCH(int, shown);
    RecordBackups backups(m_dir->path(), &m_clock, &m_messages);
    const QString path = backups.folder() + QStringLiteral("/a 2026-12-07.bz");
    QVERIFY(QDir().mkpath(bytes == "folder" ? path : backups.folder()));
    if (bytes != "folder")
        writeFile(path, bytes);
    if (bytes == "large")
        QVERIFY(QFile::resize(path, RecordBackups::LargestCopy + 1)); // sparse: no disk taken
#ifdef Q_OS_UNIX
    if (bytes == "pipe")
        QVERIFY(QFile::remove(path) && mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
#endif
    const QByteArray current = gbk(sample().text());
    writeFile(recordPath(), current);

    BackupWindow window(&backups, recordPath(), &m_messages);
    QCOMPARE(window.findChild<QLabel *>("backupCount")->text(), named.arg(path));
    QCOMPARE(window.grid()->rows(), qMax(shown, 0) + 2); // the header and the spare row
    auto *restore = window.findChild<QPushButton *>(QStringLiteral("restoreBackup"));
    QCOMPARE(restore->isEnabled(), shown >= 0);
    m_messages.answer = false;
    restore->click();
    QCOMPARE(readFile(recordPath()), current);
    // What it holds besides records is asked about again, "否" the default.
    QCOMPARE(m_messages.asked.size(), shown >= 0 ? 1 : 0);
    QVERIFY(m_messages.asked.isEmpty() || m_messages.asked[0].noByDefault);
}

QTEST_MAIN(TestRecordSafety)
#include "tst_recordsafety.moc"
