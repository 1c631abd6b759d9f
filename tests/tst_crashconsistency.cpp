// A save that is cut off by a crash or a power cut must leave either the old or the new file on
// disk, never a mix and never an empty file. A child process saves in a loop and is killed with
// SIGKILL at random moments; after every kill the file must be one of the contents it saves.
#include "basetexts.h"
#include "crashcontents.h"
#include "exchangecheck.h"
#include "exchangetexts.h"
#include "profilefile.h"
#include "recordfile.h"
#include "reminderjournal.h"
#include "reminderslots.h"
#include "testfiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <memory>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {
constexpr int kKills = 60;

// Starts the writer and waits until its first save is done; on failure why says what happened.
std::unique_ptr<QProcess> startWriter(const QString &mode, const QString &path, QString *why)
{
    auto process = std::make_unique<QProcess>();
    process->start(QStringLiteral(CRASHWRITER_PATH), {mode, path});
    if (process->waitForStarted(30000) && process->waitForReadyRead(30000) &&
        process->readAllStandardOutput() == "ready\n")
        return process;
    process->kill();
    process->waitForFinished(10000);
    *why = QStringLiteral("the writer did not start its loop: ") +
           QString::fromLocal8Bit(process->readAllStandardError());
    return nullptr;
}

// Whether the process has a file in folder open other than a lock file: it is reading the file
// or writing its replacement (QSaveFile's temporary file, unnamed on Linux).
bool insideFileOperation(qint64 pid, const QString &folder)
{
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString &fd : QDir(fds).entryList(QDir::AllEntries | QDir::System)) {
        char target[4096];
        const ssize_t length = readlink(QFile::encodeName(fds + QLatin1Char('/') + fd).constData(),
                                        target, sizeof target);
        if (length <= 0)
            continue;
        const QString file = QFile::decodeName(QByteArray(target, length));
        if (file.startsWith(folder + QLatin1Char('/')) && !file.endsWith(QLatin1String(".lock")))
            return true;
    }
    return false;
}

} // namespace

class TestCrashConsistency : public QObject
{
    Q_OBJECT

private slots:
    void recordFileSurvivesKills();
    void exchangeFileSurvivesKills();
    void journalSurvivesKills();
    void emptyLockFileOfKilledWriterIsTakenOver();

private:
    // Kills the writer kKills times; check tells whether the file on disk is acceptable.
    void killRepeatedly(const QString &mode, const QString &path,
                        const std::function<bool(const QByteArray &)> &acceptable,
                        int *interrupted);
    int m_emptyLocksLeft = 0;
};

void TestCrashConsistency::killRepeatedly(const QString &mode, const QString &path,
                                          const std::function<bool(const QByteArray &)> &acceptable,
                                          int *interrupted)
{
    const QString folder = QFileInfo(path).absolutePath();
    *interrupted = 0;
    for (int kill = 1; kill <= kKills; ++kill) {
        QString why;
        const std::unique_ptr<QProcess> writer = startWriter(mode, path, &why);
        QVERIFY2(writer, qPrintable(why));
        QRandomGenerator *random = QRandomGenerator::global();
        if (kill % 2 == 1) {
            QThread::msleep(random->bounded(1, 40));
        } else {
            // Every other kill waits for the writer to have the file open, then strikes a few
            // microseconds to milliseconds later: the moments that matter most.
            QDeadlineTimer patience(10000);
            while (!insideFileOperation(writer->processId(), folder) && !patience.hasExpired())
                QThread::usleep(100);
            QThread::usleep(random->bounded(0, 3000));
        }
        const bool inside = insideFileOperation(writer->processId(), folder);
        writer->kill(); // SIGKILL: no clean-up of any kind
        QVERIFY(writer->waitForFinished(30000));
        QCOMPARE(writer->exitStatus(), QProcess::CrashExit);
        const QByteArray left = readFile(path);
        QVERIFY2(acceptable(left),
                 qPrintable(QStringLiteral("after kill %1 the file holds %2 bytes "
                                           "that are neither the old nor the new "
                                           "content")
                                .arg(kill)
                                .arg(left.size())));
        if (inside)
            ++*interrupted;
        const QFileInfo lock(path + QStringLiteral(".lock"));
        if (lock.exists() && lock.size() == 0)
            ++m_emptyLocksLeft;
    }
}

void TestCrashConsistency::recordFileSurvivesKills()
{
#ifndef Q_OS_LINUX
    QSKIP("kills with SIGKILL: Linux only");
#else
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("a.bz"));
    const QList<QStringList> a = CrashContents::tableA();
    const QList<QStringList> b = CrashContents::tableB();
    const QByteArray bytesA = RecordFile::tableBytes(a);
    const QByteArray bytesB = RecordFile::tableBytes(b);
    QVERIFY(!bytesA.isEmpty() && !bytesB.isEmpty());
    makeRecordFile(path, a);

    int interrupted = 0;
    killRepeatedly(
        QStringLiteral("record"), path,
        [&](const QByteArray &bytes) { return bytes == bytesA || bytes == bytesB; }, &interrupted);
    if (QTest::currentTestFailed())
        return;
    // The entry form's loader reads one of the two tables whole, the closing line aside.
    const QList<QStringList> loaded = readFilled(RecordFile(path)).lines;
    QVERIFY(loaded == a.mid(0, a.size() - 1) || loaded == b.mid(0, b.size() - 1));
    // The writer spends its time saving; if no kill ever came while it had a file open, the
    // test did not test what it claims to.
    QVERIFY2(interrupted > 0, "no kill fell inside a file operation");
    qInfo("%d kills, %d of them with the file open", kKills, interrupted);
#endif
}

void TestCrashConsistency::exchangeFileSurvivesKills()
{
#ifndef Q_OS_LINUX
    QSKIP("kills with SIGKILL: Linux only");
#else
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("vexa.ini"));
    constexpr int kRows = 5;
    const QByteArray fresh = ReminderSlots::resetBytes(kRows);
    QVERIFY(ReminderSlots(path).reset(kRows).ok);

    // Every state the writer's steps can leave: fresh, filled with A or B, claimed or free.
    QSet<QByteArray> states{fresh};
    const QString slot = CrashContents::slot();
    for (const QStringList &record : {CrashContents::recordA(), CrashContents::recordB()}) {
        QList<ProfileFile::Entry> entries;
        for (qsizetype i = 0; i < record.size(); ++i)
            entries.append({ReminderSlots::recordKeys()[i], record[i]});
        QString error;
        const QByteArray filled = ProfileFile::withEntries(fresh, slot, entries, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        states << filled
               << ProfileFile::withEntries(
                      filled, slot, {{ReminderSlots::flagKey(), QStringLiteral("1")}}, &error);
    }
    QCOMPARE(states.size(), 5);

    int interrupted = 0;
    killRepeatedly(
        QStringLiteral("exchange"), path,
        [&](const QByteArray &bytes) {
            QString why;
            return states.contains(bytes) && isWellFormedExchange(bytes, kRows * 5, &why);
        },
        &interrupted);
    if (QTest::currentTestFailed())
        return;
    // A lock left by a killed writer does not block the next user of the file.
    const ProfileFile::Lock lock = ProfileFile(path).lock(5000);
    QVERIFY2(lock.isLocked(), qPrintable(lock.error()));
    QVERIFY2(interrupted > 0, "no kill fell inside a file operation");
    qInfo("%d kills, %d of them with the file open, %d left an empty lock file that the next "
          "writer took over",
          kKills, interrupted, m_emptyLocksLeft);
#endif
}

void TestCrashConsistency::journalSurvivesKills()
{
#ifndef Q_OS_LINUX
    QSKIP("kills with SIGKILL: Linux only");
#else
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString day = ReminderJournal(dir.path()).fileOf(CrashContents::journalKey(0));
    qsizetype before = 0;
    int interrupted = 0;
    // Appended to, never replaced: what a kill leaves reads as every entry that was whole, in
    // order, and nothing is taken for damage.
    killRepeatedly(
        QStringLiteral("journal"), day,
        [&](const QByteArray &) {
            ReminderJournal journal(dir.path());
            if (!journal.loadAll().isEmpty() || journal.size() < before)
                return false;
            before = journal.size();
            for (qsizetype n = 0; n < before; ++n)
                if (!journal.knows(CrashContents::journalKey(n)))
                    return false;
            return true;
        },
        &interrupted);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(interrupted > 0, "no kill fell inside a file operation");
    QVERIFY(QDir(ReminderJournal::folderIn(dir.path())).entryList({"*.damaged-*"}).isEmpty());
    qInfo("%d kills, %d of them with the file open, %lld entries", kKills, interrupted,
          qlonglong(before));
#endif
}

void TestCrashConsistency::emptyLockFileOfKilledWriterIsTakenOver()
{
#ifndef Q_OS_LINUX
    QSKIP("native lock semantics of Linux");
#else
    // What a writer killed between creating the lock file and writing its name leaves behind.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const ProfileFile profile(dir.filePath(QStringLiteral("vexa.ini")));
    const QString lockPath = profile.path() + QStringLiteral(".lock");
    writeFile(lockPath, QByteArray());
    QFile lockFile(lockPath);
    QVERIFY(lockFile.open(QIODevice::ReadWrite));
    QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-5),
                                 QFileDevice::FileModificationTime));

    // While a live process holds the file's native lock, the file is not taken from it.
    const int held = ::open(QFile::encodeName(lockPath).constData(), O_RDWR);
    QVERIFY(held >= 0);
    QCOMPARE(::flock(held, LOCK_EX | LOCK_NB), 0);
    {
        const ProfileFile::Lock lock = profile.lock(300);
        QVERIFY(!lock.isLocked());
        QCOMPARE(lock.error(), BaseText::fileBusy(ExchangeText::profileFile(), profile.path()));
        QVERIFY(QFileInfo::exists(lockPath));
    }
    ::close(held);

    // Once nobody holds it, the next writer takes over at once instead of waiting 30 seconds.
    const ProfileFile::Outcome written =
        profile.write(QStringLiteral("1|1"), ReminderSlots::flagKey(), QStringLiteral("0"));
    QVERIFY2(written.ok, qPrintable(written.error));
    QCOMPARE(ReadIniValue(QStringLiteral("1|1"), ReminderSlots::flagKey(), profile.path()),
             QStringLiteral("0"));
    QVERIFY(!QFileInfo::exists(lockPath));
#endif
}

QTEST_GUILESS_MAIN(TestCrashConsistency)
#include "tst_crashconsistency.moc"
