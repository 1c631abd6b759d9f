#include "exchangetexts.h"
#include "handoff.h"
#include "reminderslots.h"
#include "testfiles.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

#ifndef Q_OS_WIN
#include <csignal>
#endif

// Starts the real vexa program. Every process gets VEXA_QUIT_AFTER_MS, so that none is left
// waiting for a user; the test ends the ones it does not wait for itself.
class TestVexa : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void simultaneousPopupsClaimDistinctSlots();
    void closingFreesTheSlot();
    void shutdownSignalFreesTheSlot_data();
    void shutdownSignalFreesTheSlot();
    void noFreeSlotEndsWithoutTouchingFile_data();
    void noFreeSlotEndsWithoutTouchingFile();

private:
    std::unique_ptr<QProcess> start(int quitAfterMs);
    QString path() const { return m_dir.filePath(QStringLiteral("vexa.ini")); }
    QTemporaryDir m_dir;
};

void TestVexa::init()
{
    QVERIFY(m_dir.isValid());
    QFile::remove(path());
    QVERIFY(QFileInfo(QStringLiteral(VEXA_PATH)).isExecutable());
}

std::unique_ptr<QProcess> TestVexa::start(int quitAfterMs)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QLatin1String(Handoff::DataFolderVariable), m_dir.path());
    env.insert(QLatin1String(Handoff::QuitAfterVariable), QString::number(quitAfterMs));
    process->setProcessEnvironment(env);
    process->start(QStringLiteral(VEXA_PATH), {});
    return process;
}

void TestVexa::simultaneousPopupsClaimDistinctSlots()
{
    QVERIFY(ReminderSlots(path()).reset(2).ok); // ten free slots
    // Long enough that no popup closes, and so frees its slot, before every process has tried.
    constexpr int kQuitAfterMs = 100000;
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 0; i < 20; ++i)
        processes.push_back(start(kQuitAfterMs));

    // A popup that claims a slot prints its name; one that finds none prints the failure.
    std::vector<QByteArray> claims(processes.size());
    std::vector<QByteArray> errors(processes.size());
    auto reported = [&] {
        int count = 0;
        for (size_t i = 0; i < processes.size(); ++i) {
            claims[i] += processes[i]->readAllStandardOutput();
            errors[i] += processes[i]->readAllStandardError();
            if (claims[i].endsWith('\n') ||
                QString::fromLocal8Bit(errors[i]).contains(ExchangeText::popupFailed()))
                ++count;
        }
        return count;
    };
    QTRY_COMPARE_WITH_TIMEOUT(reported(), 20, 60000);

    QStringList claimed;
    int failures = 0;
    for (size_t i = 0; i < processes.size(); ++i) {
        if (claims[i].isEmpty()) {
            ++failures;
            continue;
        }
        QCOMPARE(processes[i]->state(), QProcess::Running);
        claimed << QString::fromLocal8Bit(claims[i]).trimmed();
    }
    QCOMPARE(failures, 10);
    claimed.sort();
    QStringList sections = ListIniSections(path());
    sections.sort();
    QCOMPARE(claimed, sections); // ten distinct slots, every one of them
    for (const QString &slot : sections)
        QCOMPARE(ReadIniValue(slot, QStringLiteral("是否显示"), path()), QStringLiteral("1"));

    for (auto &process : processes) {
        process->kill();
        process->waitForFinished(10000);
    }
}

void TestVexa::closingFreesTheSlot()
{
    const ReminderSlots exchange(path());
    QVERIFY(exchange.reset(1).ok);
    QCOMPARE(exchange
                 .fillFirstFree(sample()
                                    .with(SpecimenRecord::Number, QStringLiteral("1"))
                                    .with(SpecimenRecord::Remark, QStringLiteral("加急"))
                                    .slotValues())
                 .slot,
             QStringLiteral("1|1"));
    const QByteArray before = readFile(path());

    const std::unique_ptr<QProcess> vexa = start(300);
    QVERIFY(vexa->waitForFinished(60000));
    QCOMPARE(vexa->exitStatus(), QProcess::NormalExit);
    QCOMPARE(vexa->exitCode(), 0);
    QVERIFY(!QString::fromLocal8Bit(vexa->readAllStandardError())
                 .contains(ExchangeText::popupFailed()));
    // Claimed ("1") and freed ("0") again in place: the file is as it was.
    QCOMPARE(readFile(path()), before);
    QVERIFY(!QFileInfo::exists(path() + QStringLiteral(".lock")));
}

void TestVexa::shutdownSignalFreesTheSlot_data()
{
    QTest::addColumn<int>("signal");
#ifndef Q_OS_WIN
    QTest::newRow("SIGTERM, a shutdown") << int(SIGTERM);
    QTest::newRow("SIGHUP, a logout") << int(SIGHUP);
#endif
}

void TestVexa::shutdownSignalFreesTheSlot()
{
#ifdef Q_OS_WIN
    QSKIP("POSIX signals");
#else
    QFETCH(int, signal);
    QVERIFY(ReminderSlots(path()).reset(1).ok);
    const std::unique_ptr<QProcess> vexa = start(100000);
    QByteArray claimed;
    QTRY_VERIFY_WITH_TIMEOUT((claimed += vexa->readAllStandardOutput()).endsWith('\n'), 60000);
    QCOMPARE(claimed, QByteArray("1|1\n"));
    QCOMPARE(ReadIniValue(QStringLiteral("1|1"), ReminderSlots::flagKey(), path()),
             QStringLiteral("1"));

    QCOMPARE(::kill(pid_t(vexa->processId()), signal), 0);
    QVERIFY(vexa->waitForFinished(60000));
    QCOMPARE(vexa->exitStatus(), QProcess::NormalExit);
    QCOMPARE(vexa->exitCode(), 0);
    QCOMPARE(ReadIniValue(QStringLiteral("1|1"), ReminderSlots::flagKey(), path()),
             QStringLiteral("0"));
#endif
}

void TestVexa::noFreeSlotEndsWithoutTouchingFile_data()
{
    QTest::addColumn<QByteArray>("file"); // empty: no file

    QByteArray allHeld = ReminderSlots::resetBytes(1);
    allHeld.replace(gbk(QStringLiteral("是否显示=0")), gbk(QStringLiteral("是否显示=1")));
    QTest::newRow("every slot held") << allHeld;
    QTest::newRow("no file") << QByteArray();
}

void TestVexa::noFreeSlotEndsWithoutTouchingFile()
{
    QFETCH(QByteArray, file);
    if (!file.isEmpty())
        writeFile(path(), file);

    const std::unique_ptr<QProcess> vexa = start(300);
    QVERIFY(vexa->waitForFinished(60000));
    QCOMPARE(vexa->exitStatus(), QProcess::NormalExit);
    QCOMPARE(vexa->exitCode(), 1);
    QVERIFY(
        QString::fromLocal8Bit(vexa->readAllStandardError()).contains(ExchangeText::popupFailed()));
    QCOMPARE(QFileInfo::exists(path()), !file.isEmpty());
    QCOMPARE(readFile(path()), file);
}

QTEST_GUILESS_MAIN(TestVexa)
#include "tst_vexa.moc"
