#include "fakes.h"
#include "recordbackups.h"
#include "recordcheck.h"
#include "recordfile.h"
#include "recordstore.h"
#include "recordtexts.h"
#include "storetexts.h"
#include "testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestRecordCheck : public QObject
{
    Q_OBJECT

private slots:
    void namesUnreadableLines_data();
    void namesUnreadableLines();
    void tellsUtf8FromCodePage936_data();
    void tellsUtf8FromCodePage936();
    void refusesToWriteIntoUtf8();
    void keepsOneBackupADayAndPrunes();
    void backupThatCannotBeWrittenIsToldOnce();
};

namespace {
QByteArray record(const QString &due, const QString &part = QStringLiteral("1#楼梁"))
{
    return gbk(sample(part, due).text());
}
} // namespace

void TestRecordCheck::namesUnreadableLines_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<qsizetype>>("lines"); // the lines named, by number
    QTest::addColumn<QString>("reason");         // the first one's reason

    const QByteArray good = record(QStringLiteral("2026-12-08 07:37"));
    const QByteArray closing(",,,,,,,,,,");
    QTest::newRow("records and the closing line")
        << good + "\r\n" + good + "\r\n" + closing << QList<qsizetype>{} << QString();
    QTest::newRow("spreadsheet's dashes")
        << good + "\r\n" + record(QStringLiteral("2026-12-8 7:37")) + "\r\n" + closing
        << QList<qsizetype>{2}
        << RecordText::spreadsheetDueTime("2026-12-8 7:37", "2026-12-08 07:37");
    QTest::newRow("spreadsheet's slashes, line breaks LF")
        << good + "\n" + good + "\n" + record(QStringLiteral("2026/12/8 7:37:00"))
        << QList<qsizetype>{3}
        << RecordText::spreadsheetDueTime("2026/12/8 7:37:00", "2026-12-08 07:37");
    QTest::newRow("quoted fields")
        << gbk(QStringLiteral("\"1#楼梁,东\",C30,P-01,2026-12-1 8:30,5,2026-12-08 07:37,"
                              "标准养护,12,3,,")) +
               "\r\n" + good
        << QList<qsizetype>{1} << RecordText::quotedFields(12, 11);
    QTest::newRow("semicolons")
        << good + "\r\n" + gbk(sample(QStringLiteral("梁"), "2026-12-08 07:37").fields().join(';'))
        << QList<qsizetype>{2} << RecordText::semicolonFields();
    QTest::newRow("ten fields, bare CR")
        << good + "\r" + gbk(sample(QStringLiteral("梁")).stored.join(',')) + "\r" + good
        << QList<qsizetype>{2} << RecordText::fieldCount(10, 11);
    QTest::newRow("no such day") << record(QStringLiteral("2023-02-29 08:00"))
                                 << QList<qsizetype>{1}
                                 << RecordText::dueTimeNotReal("2023-02-29 08:00");
    QTest::newRow("empty lines count, blank due")
        << "\r\n\r\n" + record(QString()) << QList<qsizetype>{3} << RecordText::noDueTime();
    // Records that remind but hold bytes code page 936 has no character for: a lead byte
    // without its trail, 0xFF, a four-byte GB18030 character ("1#" is two bytes first).
    QTest::newRow("bytes that are no GBK") << good + "\r\n" + "1#\x81\x20\xff\xfe\x80" + good.mid(6)
                                           << QList<qsizetype>{2} << RecordText::notGbk(3);
    QTest::newRow("four-byte GB18030") << "1#\x95\x32\x82\x36" + good.mid(6) + "\r\n" + good
                                       << QList<qsizetype>{1} << RecordText::notGbk(3);
    // Long enough for the sixteen-byte steps, the due field across a step's end.
    const QByteArray longPart = record(QStringLiteral("2026-12-8 07:37"), QString(37, u'梁'));
    QTest::newRow("long lines") << good + "\r\n" + longPart + "\r\n" + longPart
                                << QList<qsizetype>{2, 3}
                                << RecordText::spreadsheetDueTime("2026-12-8 07:37",
                                                                  "2026-12-08 07:37");
}

void TestRecordCheck::namesUnreadableLines()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<qsizetype>, lines);
    QFETCH(QString, reason);

    const RecordCheck::Report report = RecordCheck::unreadableLines(file);
    QList<qsizetype> named;
    for (const RecordCheck::Unreadable &line : report.lines) {
        named << line.line;
        const QByteArray raw = RecordFile::splitLines(file).value(line.line - 1).toByteArray();
        QVERIFY(Gbk::decode(raw).startsWith(line.start));
    }
    QCOMPARE(named, lines);
    QCOMPARE(report.total, lines.size());
    if (!lines.isEmpty())
        QCOMPARE(report.lines[0].reason, reason);
}

void TestRecordCheck::tellsUtf8FromCodePage936_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("utf8");
    const QString text = QStringLiteral("1#楼梁,C30,标准养护,早强");
    QTest::newRow("UTF-8") << text.toUtf8() << true;
    QTest::newRow("UTF-8 with a byte-order mark") << "\xef\xbb\xbf" + text.toUtf8() << true;
    QTest::newRow("code page 936") << gbk(text) << false;
    QTest::newRow("code page 936, valid UTF-8 by chance") << gbk(QStringLiteral("楼一")) << false;
    QTest::newRow("ASCII only") << QByteArray("C30,P-01,,") << false;
    QTest::newRow("UTF-8 cut in a character") << text.toUtf8().chopped(1) << false;
    QTest::newRow("overlong form") << QByteArray("a\xc0\xaf"
                                                 "b")
                                   << false;
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << false;
}

void TestRecordCheck::tellsUtf8FromCodePage936()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, utf8);
    QCOMPARE(RecordCheck::isUtf8(bytes), utf8);
    QTemporaryDir dir;
    // Pieces of the file end inside a character.
    const QByteArray big = QByteArray(64 * 1024 - 1, 'x') + bytes;
    writeFile(dir.filePath(QStringLiteral("a.bz")), big);
    QCOMPARE(RecordCheck::isUtf8File(dir.filePath(QStringLiteral("a.bz"))), utf8);
}

void TestRecordCheck::refusesToWriteIntoUtf8()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.bz"));
    const QByteArray utf8 = sample(QStringLiteral("梁"), "2026-12-08 07:37").text().toUtf8();
    writeFile(path, utf8);
    const RecordStore store(path);
    for (const RecordStore::Outcome &written : {rewriteLines(store, {QStringLiteral("梁")}),
                                                rewriteTable(store, {{QStringLiteral("梁")}})}) {
        QVERIFY(!written.ok());
        QVERIFY2(written.error.contains(QStringLiteral("UTF-8")), qPrintable(written.error));
        QCOMPARE(readFile(path), utf8);
    }
    // Emptying it writes nothing of it back.
    QVERIFY(rewriteLines(store, {}).ok());
    QCOMPARE(readFile(path), QByteArray());
}

void TestRecordCheck::keepsOneBackupADayAndPrunes()
{
    QTemporaryDir dir;
    FakeClock clock(QDateTime(QDate(2026, 11, 1), QTime(9, 0)));
    RecordingMessages messages;
    RecordBackups backups(dir.path(), &clock, &messages);
    const RecordStore store(dir.filePath(QStringLiteral("a.bz")), RecordStore::DefaultLockWaitMs,
                            &backups);
    const QString path = store.file().path();
    QVERIFY(rewriteLines(store, {QStringLiteral("一")}).ok()); // nothing to keep yet
    QVERIFY(backups.list().isEmpty());

    // Each day's first rewrite keeps the file as the day found it; a deletion keeps it always.
    QVERIFY(rewriteLines(store, {QStringLiteral("二")}).ok());
    QVERIFY(rewriteLines(store, {QStringLiteral("三")}).ok());
    backups.keep(RecordBackups::Occasion::BeforeDeletion, readFile(path));
    QCOMPARE(backups.list().size(), 2);
    QCOMPARE(readFile(backups.list().constFirst().path), gbk(QStringLiteral("三\r\n")));
    QCOMPARE(readFile(backups.list().constLast().path), gbk(QStringLiteral("一\r\n")));
    for (int day = 1; day <= 40; ++day) {
        clock.set(clock.now().addDays(1));
        QVERIFY(rewriteLines(store, {QString::number(day)}).ok());
    }
    // Thirty days of daily copies, and the newest taken before a deletion.
    const QList<RecordBackups::Backup> kept = backups.list();
    QCOMPARE(kept.size(), 31);
    QCOMPARE(kept.first().day, QDate(2026, 12, 11));
    QCOMPARE(kept[29].day, QDate(2026, 11, 12));
    QCOMPARE(kept.last().occasion, StoreText::beforeDeletion());
    QCOMPARE(readFile(kept.first().path), QByteArray("39\r\n"));
    QVERIFY(messages.shown.isEmpty());
}

void TestRecordCheck::backupThatCannotBeWrittenIsToldOnce()
{
    QTemporaryDir dir;
    FakeClock clock(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
    RecordingMessages messages;
    RecordBackups backups(dir.path(), &clock, &messages);
    const RecordStore store(dir.filePath(QStringLiteral("a.bz")), RecordStore::DefaultLockWaitMs,
                            &backups);
    const QString path = store.file().path();
    writeFile(path, "old\r\n");
    writeFile(backups.folder(), "a file where the folder should be");

    for (int i = 0; i < 3; ++i) {
        QVERIFY(rewriteLines(store, {QStringLiteral("new%1").arg(i)}).ok());
        backups.keep(RecordBackups::Occasion::BeforeInitialisation, readFile(path));
    }
    QCOMPARE(readFile(path), QByteArray("new2\r\n"));
    QCOMPARE(messages.shown.size(), 1);
    // In its words, with the system's reason.
    const QString told = messages.shown[0].text;
    const QString why = told.section(u'：', 1).section(u'\n', 0, 0);
    QCOMPARE(told, StoreText::backupNotKept(backups.folder(), why));

    // Told again only after a copy was written in between.
    QVERIFY(QFile::remove(backups.folder()));
    backups.keep(RecordBackups::Occasion::BeforeDeletion, readFile(path));
    writeFile(backups.folder() + QStringLiteral("/blocked"), {});
    QVERIFY(QDir(backups.folder()).removeRecursively());
    writeFile(backups.folder(), "blocked again");
    backups.keep(RecordBackups::Occasion::BeforeDeletion, readFile(path));
    QCOMPARE(messages.shown.size(), 2);
}

QTEST_GUILESS_MAIN(TestRecordCheck)
#include "tst_recordcheck.moc"
