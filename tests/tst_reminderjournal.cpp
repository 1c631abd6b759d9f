#include "basetexts.h"
#include "fulldisk.h"
#include "journaltexts.h"
#include "recordline.h"
#include "reminderjournal.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
QString keyDue(const QString &part, const QString &due)
{
    return sample(part, due).text();
}
const QDateTime kWhen(QDate(2026, 12, 6), QTime(9, 5, 0));
} // namespace

class TestReminderJournal : public QObject
{
    Q_OBJECT

private slots:
    void keyIsTheLineAReloadedRowGivesBack_data();
    void keyIsTheLineAReloadedRowGivesBack();
    void entriesComeBackInANewRunFromTheirDaysFile();
    void cutOffAppendIsSkippedAndCutBeforeTheNext();
    void damagedFileIsSetAsideAndItsReadablePartKept_data();
    void damagedFileIsSetAsideAndItsReadablePartKept();
    void fullDiskLeavesNoHalfEntry();
};

void TestReminderJournal::keyIsTheLineAReloadedRowGivesBack_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("key");
    const QString record = keyDue(QStringLiteral("1#楼"), QStringLiteral("2026-12-06 09:05"));
    QTest::newRow("record") << record << record;
    // A hand-written due mark is never shown, a twelfth field (a comma typed long ago) neither.
    QTest::newRow("marked") << record + QStringLiteral("到期") << record;
    QTest::newRow("wider") << record + QStringLiteral(",x") << record;
    QTest::newRow("narrow") << QStringLiteral("a,b,c") << QStringLiteral("a,b,,,,,,,,,");
}

void TestReminderJournal::keyIsTheLineAReloadedRowGivesBack()
{
    QFETCH(QString, line);
    QFETCH(QString, key);
    QCOMPARE(ReminderJournal::keyOf(line), key);
}

void TestReminderJournal::entriesComeBackInANewRunFromTheirDaysFile()
{
    QTemporaryDir dir;
    const QString december = keyDue(QStringLiteral("梁\t板\\"), QStringLiteral("2026-12-06 09:05"));
    const QString november = keyDue(QStringLiteral("柱\n"), QStringLiteral("2026-11-30 23:59"));
    const QString undated = keyDue(QStringLiteral("墙"), QStringLiteral("明天"));
    {
        ReminderJournal journal(dir.path());
        QCOMPARE(journal.remind(december, ReminderJournal::How::Popup, kWhen), QString());
        QCOMPARE(journal.remind(december, ReminderJournal::How::List, kWhen.addDays(1)), QString());
        QCOMPARE(journal.remind(november, ReminderJournal::How::List, kWhen), QString());
        QCOMPARE(journal.markTested(november, kWhen, QStringLiteral("张\t三"),
                                    QStringLiteral("35.2 MPa\r\n\"复检\"")),
                 QString());
        QCOMPARE(journal.markTested(undated, kWhen, QStringLiteral("李四"), QString()), QString());
        QCOMPARE(journal.markTested(december, kWhen, QStringLiteral("李四"), QStringLiteral("x")),
                 QString());
        QCOMPARE(journal.unmarkTested(december, kWhen.addSecs(60)), QString());
    }
    const QString folder = ReminderJournal::folderIn(dir.path());
    QCOMPARE(QDir(folder).entryList(QDir::Files),
             QStringList({"2026-11-30.tsv", "2026-12-06.tsv", "undated.tsv"}));

    ReminderJournal december2(dir.path());
    QCOMPARE(december2.loadDays(QDate(2026, 12, 1), QDate(2026, 12, 31)), QStringList());
    QVERIFY(!december2.knows(november)); // its day was not read
    QVERIFY(december2.knows(undated));
    const ReminderJournal::Entry *d = december2.find(december);
    QVERIFY(d);
    QCOMPARE(d->remindedAt(), kWhen); // the first reminder counts
    QCOMPARE(d->how, ReminderJournal::How::Popup);
    QVERIFY(!d->isTested()); // the mark was taken back

    QCOMPARE(december2.loadAll(), QStringList());
    const ReminderJournal::Entry *n = december2.find(november);
    QVERIFY(n);
    QCOMPARE(n->how, ReminderJournal::How::List);
    QCOMPARE(n->testedAt(), kWhen);
    QCOMPARE(december2.text(n->testedBy), QStringLiteral("张\t三"));
    QCOMPARE(december2.text(n->result), QStringLiteral("35.2 MPa\r\n\"复检\""));
}

void TestReminderJournal::cutOffAppendIsSkippedAndCutBeforeTheNext()
{
    QTemporaryDir dir;
    const QString first = keyDue(QStringLiteral("a"), QStringLiteral("2026-12-06 09:05"));
    const QString second = keyDue(QStringLiteral("b"), QStringLiteral("2026-12-06 09:06"));
    ReminderJournal journal(dir.path());
    QCOMPARE(journal.remind(first, ReminderJournal::How::Popup, kWhen), QString());
    const QString path = journal.fileOf(first);
    const QByteArray whole = readFile(path);
    writeFile(path, whole + "R\t2026-12-06 09:0"); // killed in mid-append

    ReminderJournal reread(dir.path());
    QCOMPARE(reread.loadAll(), QStringList());
    QCOMPARE(reread.size(), 1);
    QCOMPARE(reread.remind(second, ReminderJournal::How::Popup, kWhen), QString());
    QVERIFY(readFile(path).startsWith(whole + "R\t2026-12-06 09:05:00\tpopup\tb,"));

    ReminderJournal third(dir.path());
    QCOMPARE(third.loadAll(), QStringList());
    QCOMPARE(third.size(), 2);
}

void TestReminderJournal::damagedFileIsSetAsideAndItsReadablePartKept_data()
{
    QTest::addColumn<bool>("whileRunning");
    QTest::newRow("found at start") << false;
    QTest::newRow("appended while running") << true;
}

void TestReminderJournal::damagedFileIsSetAsideAndItsReadablePartKept()
{
    QFETCH(bool, whileRunning);
    QTemporaryDir dir;
    const QString kept = keyDue(QStringLiteral("a"), QStringLiteral("2026-12-06 09:05"));
    const QString byOther = keyDue(QStringLiteral("b"), QStringLiteral("2026-12-06 09:06"));
    ReminderJournal journal(dir.path());
    QCOMPARE(journal.loadDays(kWhen.date(), kWhen.date()), QStringList());
    QCOMPARE(journal.remind(kept, ReminderJournal::How::Popup, kWhen), QString());
    // Another copy on the same data folder appends an entry: taken in while running.
    QCOMPARE(ReminderJournal(dir.path()).remind(byOther, ReminderJournal::How::List, kWhen),
             QString());
    QCOMPARE(journal.refresh(), QStringList());
    QVERIFY(journal.knows(byOther));
    const QString path = journal.fileOf(kept);
    const QByteArray damaged = readFile(path) + "R\tnot a time\tpopup\tx\n\xff\xfe garbage\n";
    writeFile(path, damaged);

    ReminderJournal reread(dir.path());
    const QStringList problems = whileRunning ? journal.refresh() : reread.loadAll();
    QCOMPARE(problems.size(), 1);
    QVERIFY((whileRunning ? journal : reread).knows(kept));
    const QDir folder(ReminderJournal::folderIn(dir.path()));
    const QStringList aside = folder.entryList({QStringLiteral("*.damaged-*")});
    QCOMPARE(aside.size(), 1);
    QCOMPARE(readFile(folder.filePath(aside[0])), damaged);
    QCOMPARE(problems[0],
             JournalText::damagedMoved(QDir::toNativeSeparators(path),
                                       QDir::toNativeSeparators(folder.filePath(aside[0]))) +
                 JournalText::readableKept());
    QCOMPARE(journal.refresh(), QStringList()); // said once

    ReminderJournal again(dir.path()); // set aside once, not at every start
    QCOMPARE(again.loadAll(), QStringList());
    QCOMPARE(again.size(), 2);
}

void TestReminderJournal::fullDiskLeavesNoHalfEntry()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("full"));
    FullDisk disk(folder);
    if (!disk.mounted())
        QSKIP("needs the right to mount a small file system");
    const QString first = keyDue(QStringLiteral("a"), QStringLiteral("2026-12-06 09:05"));
    ReminderJournal journal(folder);
    QCOMPARE(journal.remind(first, ReminderJournal::How::Popup, kWhen), QString());
    const QByteArray before = readFile(journal.fileOf(first));
    QVERIFY(disk.fill());
    // Longer than the free room of a block: the write is cut off by the full disk.
    const QString big = keyDue(QString(9000, u'长'), QStringLiteral("2026-12-06 09:06"));
    const QString why = journal.remind(big, ReminderJournal::How::Popup, kWhen);
    QCOMPARE(why, JournalText::cannotWrite(QDir::toNativeSeparators(journal.fileOf(big)),
                                           BaseText::diskFull()) +
                      JournalText::keptUntilWritable());
    QVERIFY(journal.knows(big)); // told once in this run all the same
    QCOMPARE(readFile(journal.fileOf(first)), before);

    // Said once while the disk stays full; every entry is held, in order, and written as soon as
    // there is room again.
    const QString next = keyDue(QStringLiteral("b"), QStringLiteral("2026-12-06 09:07"));
    QCOMPARE(journal.remind(next, ReminderJournal::How::List, kWhen), QString());
    QCOMPARE(journal.flush(), QString());
    QCOMPARE(journal.unwrittenCount(), 2);
    QVERIFY(QFile::remove(QDir(folder).filePath(QStringLiteral(".filler"))));
    QCOMPARE(journal.flush(), JournalText::writtenAgain(2));
    QCOMPARE(journal.unwrittenCount(), 0);
    QCOMPARE(journal.flush(), QString());

    // A new run knows all three from the files.
    ReminderJournal again(folder);
    again.loadAll();
    for (const QString &key : {first, big, next})
        QVERIFY(again.knows(key));
    QCOMPARE(again.find(next)->how, ReminderJournal::How::List);
}

QTEST_GUILESS_MAIN(TestReminderJournal)
#include "tst_reminderjournal.moc"
