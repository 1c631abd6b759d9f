#include "singleinstance.h"

#include "basetexts.h"
#include "fulldisk.h"
#include "testfiles.h"
#include "windowtexts.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// One Tarvelin per user and data folder. The in-process cases check the lock; the others start
// the real program, as a technician who clicks the menu entry twice would.
class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void nameFollowsTheFolder_data();
    void nameFollowsTheFolder();
    void oneClaimPerFolder();
    void runningOneIsFoundWithoutItsLockFile();
    void secondStartRaisesTheFirst();
    void crashDoesNotBlockTheNextStart();
    void emptyLockFromAKilledStartIsTakenOver();
    void lockThatCannotBeMadeIsExplained_data();
    void lockThatCannotBeMadeIsExplained();
    void lockWithOurOwnProcessNumberIsTakenOver();

private:
    std::unique_ptr<QProcess> startTarvelin(const QString &dataFolder);
    static bool listening(const QString &name);
    static void cleanUp(const QString &name);
};

std::unique_ptr<QProcess> TestSingleInstance::startTarvelin(const QString &dataFolder)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TARVELIN_DATA_DIR"), dataFolder);
    process->setProcessEnvironment(env);
    process->start(QStringLiteral(TARVELIN_PATH), {});
    return process;
}

bool TestSingleInstance::listening(const QString &name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    const bool connected = socket.waitForConnected(1000);
    socket.abort();
    return connected;
}

void TestSingleInstance::cleanUp(const QString &name)
{
    // A killed Tarvelin leaves its lock and socket behind; they must not outlive the test.
    QFile::remove(QDir::temp().absoluteFilePath(name + QStringLiteral(".lock")));
    QLocalServer::removeServer(name);
}

void TestSingleInstance::nameFollowsTheFolder_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("same");

    QTest::newRow("same folder") << "a"
                                 << "a" << true;
    QTest::newRow("trailing slash") << "a"
                                    << "a/" << true;
    QTest::newRow("dots on the way") << "a"
                                     << "b/../a/." << true;
    QTest::newRow("other folder") << "a"
                                  << "b" << false;
    QTest::newRow("folder inside") << "a"
                                   << "a/b" << false;
}

void TestSingleInstance::nameFollowsTheFolder()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, same);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("a/b")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("b")));
    const QString one = SingleInstance::serverNameFor(dir.filePath(first));
    const QString two = SingleInstance::serverNameFor(dir.filePath(second));
    QCOMPARE(one == two, same);
    // A local socket name must stay short on every system.
    QVERIFY(one.size() < 64);
}

void TestSingleInstance::oneClaimPerFolder()
{
    QTemporaryDir dir;
    QTemporaryDir other;
    QVERIFY(dir.isValid() && other.isValid());

    auto running = std::make_unique<SingleInstance>(dir.path());
    QVERIFY(running->claim());
    QVERIFY(listening(running->serverName()));

    SingleInstance second(dir.path());
    QVERIFY(!second.claim());
    SingleInstance elsewhere(other.path());
    QVERIFY(elsewhere.claim());

    // Once the first has ended, the folder is free again.
    running.reset();
    QVERIFY(!listening(second.serverName()));
    SingleInstance next(dir.path());
    QVERIFY(next.claim());
}

// A cleaner of the temporary folder removed the lock file of a Tarvelin that runs for days.
void TestSingleInstance::runningOneIsFoundWithoutItsLockFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SingleInstance running(dir.path());
    QVERIFY(running.claim());
    const QString lock =
        QDir::temp().absoluteFilePath(running.serverName() + QStringLiteral(".lock"));
    QVERIFY(QFile::remove(lock));

    SingleInstance second(dir.path());
    QVERIFY(!second.claim());
    QCOMPARE(second.error(), QString());
    QVERIFY(!QFile::exists(lock));
    // The running one still answers on its socket, which the second start left alone, so the
    // second start raises it (secondStartRaisesTheFirst) and ends.
    QVERIFY(listening(running.serverName()));

    // The cleaner comes back for the socket too: the lock in the application data folder still
    // keeps the second start from monitoring the same records.
    QVERIFY(QLocalServer::removeServer(running.serverName()));
    QVERIFY(!listening(running.serverName()));
    SingleInstance third(dir.path());
    QVERIFY(!third.claim());
    QCOMPARE(third.error(), QString());
}

void TestSingleInstance::secondStartRaisesTheFirst()
{
    QTemporaryDir dir;
    QTemporaryDir other;
    QVERIFY(dir.isValid() && other.isValid());
    const QString name = SingleInstance::serverNameFor(dir.path());

    const auto first = startTarvelin(dir.path());
    QVERIFY(first->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(listening(name), 30000);

    const auto second = startTarvelin(dir.path());
    QVERIFY(second->waitForFinished(30000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);

    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += first->readAllStandardOutput()).contains("raised"), 10000);
    QCOMPARE(first->state(), QProcess::Running);

    // Another data folder is another Tarvelin: it keeps running beside the first.
    const auto elsewhere = startTarvelin(other.path());
    QTRY_VERIFY_WITH_TIMEOUT(listening(SingleInstance::serverNameFor(other.path())), 30000);
    QCOMPARE(elsewhere->state(), QProcess::Running);

    for (QProcess *process : {first.get(), elsewhere.get()}) {
        process->kill();
        QVERIFY(process->waitForFinished(10000));
    }
    cleanUp(name);
    cleanUp(SingleInstance::serverNameFor(other.path()));
}

void TestSingleInstance::crashDoesNotBlockTheNextStart()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString name = SingleInstance::serverNameFor(dir.path());

    const auto crashed = startTarvelin(dir.path());
    QTRY_VERIFY_WITH_TIMEOUT(listening(name), 30000);
    crashed->kill();
    QVERIFY(crashed->waitForFinished(10000));
    // What it leaves behind: the lock file, and on Unix the socket's file.
    QVERIFY(QFile::exists(QDir::temp().absoluteFilePath(name + QStringLiteral(".lock"))));
    QVERIFY(!listening(name));

    const auto next = startTarvelin(dir.path());
    QTRY_VERIFY_WITH_TIMEOUT(listening(name), 30000);
    QCOMPARE(next->state(), QProcess::Running);

    // And it is the one that answers a further start.
    const auto further = startTarvelin(dir.path());
    QVERIFY(further->waitForFinished(30000));
    QCOMPARE(further->exitCode(), 0);
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += next->readAllStandardOutput()).contains("raised"), 10000);

    next->kill();
    QVERIFY(next->waitForFinished(10000));
    cleanUp(name);
}

void TestSingleInstance::emptyLockFromAKilledStartIsTakenOver()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString name = SingleInstance::serverNameFor(dir.path());
    const QString lock = QDir::temp().absoluteFilePath(name + QStringLiteral(".lock"));
    // A start killed between creating its lock file and writing into it.
    {
        QFile empty(lock);
        QVERIFY(empty.open(QIODevice::WriteOnly));
        QVERIFY(empty.setFileTime(QDateTime::currentDateTime().addSecs(-5),
                                  QFileDevice::FileModificationTime));
    }
    SingleInstance instance(dir.path());
    QVERIFY(instance.claim());
    // A second claim on the same folder still fails: the live holder keeps its lock.
    SingleInstance second(dir.path());
    QVERIFY(!second.claim());
}

void TestSingleInstance::lockThatCannotBeMadeIsExplained_data()
{
    QTest::addColumn<bool>("full"); // else a file stands where the temporary folder should
    QTest::newRow("temporary folder is a file") << false;
    QTest::newRow("full temporary folder") << true;
}

// No other copy runs, so the message must not say one does: it names the folder and the cause.
void TestSingleInstance::lockThatCannotBeMadeIsExplained()
{
    QFETCH(bool, full);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString temp = dir.filePath(QStringLiteral("tmp"));
    std::unique_ptr<FullDisk> disk;
    if (full) {
        disk = std::make_unique<FullDisk>(temp);
        if (!disk->mounted())
            QSKIP("a full disk is made by mounting a small tmpfs, which needs Linux and root");
        QVERIFY(disk->fill());
    } else {
        writeFile(temp, "not a folder");
    }
    const QByteArray before = qgetenv("TMPDIR");
    const bool hadTmpdir = qEnvironmentVariableIsSet("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp));
    const auto restore = qScopeGuard([&] {
        if (hadTmpdir)
            qputenv("TMPDIR", before);
        else
            qunsetenv("TMPDIR");
    });
    QCOMPARE(QDir::tempPath(), temp);

    SingleInstance instance(dir.path());
    QVERIFY(!instance.claim());
    const QString error = instance.error();
    const QString why =
        full ? BaseText::diskFull() : BaseText::notAFolder(QDir::toNativeSeparators(temp));
    QVERIFY2(error.contains(QDir::toNativeSeparators(temp)) && error.contains(why),
             qPrintable(error));
    QVERIFY2(!error.contains(WindowText::notResponding()), qPrintable(error));
}

// A Tarvelin killed earlier whose process number this start got again (Wine hands out the same
// numbers after every boot): its lock names a live process, this one, and yet is stale.
void TestSingleInstance::lockWithOurOwnProcessNumberIsTakenOver()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString name = SingleInstance::serverNameFor(dir.path());
    const QString lock = QDir::temp().absoluteFilePath(name + QStringLiteral(".lock"));
    QByteArray left;
    {
        QLockFile ours(dir.filePath(QStringLiteral("ours.lock")));
        QVERIFY(ours.tryLock(0));
        QFile file(dir.filePath(QStringLiteral("ours.lock")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        left = file.readAll();
    }
    QVERIFY(left.startsWith(QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
    {
        QFile file(lock);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(left);
    }
    SingleInstance instance(dir.path());
    QVERIFY(instance.claim());
    SingleInstance second(dir.path());
    QVERIFY(!second.claim());
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
