#include "apppaths.h"
#include "basetexts.h"
#include "fakes.h"
#include "filelock.h"
#include "recordadder.h"
#include "recordtexts.h"
#include "storetexts.h"
#include "testfiles.h"
#include "titles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

namespace {

// The sample record of a works part, as the technician types it.
RecordEntry entry(const QString &part)
{
    RecordEntry e;
    e.typed = sample(part).stored;
    e.making = {QDate(2026, 12, 1),   QStringLiteral("08"), QStringLiteral("30"),
                QStringLiteral("28"), QStringLiteral("0"),  QStringLiteral("0")};
    return e;
}

QString line(const QString &part)
{
    return sample(part).text();
}

QByteArray file(const QStringList &parts)
{
    QStringList lines;
    for (const QString &part : parts)
        lines << line(part);
    return gbk(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")) + kClosingLine;
}
} // namespace

class TestRecordAdder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void refusalWritesNothing_data();
    void refusalWritesNothing();
    void entriesGoInOneSaveOnTheFileAsItIsNow();
    void heldLockWritesNothingUntilReleased();
    void lockOfAnotherComputerNamedOrTakenOverWhenOld();
    void lostRecordsAskedWithTheLockLetGo();
    void concurrentAddsAllLand();

private:
    QString path() const { return AppPaths::recordFile(m_dir->path()); }
    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingMessages m_messages;
};

void TestRecordAdder::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages = RecordingMessages();
}

void TestRecordAdder::refusalWritesNothing_data()
{
    QTest::addColumn<QStringList>("changes"); // box, text typed into it, box, ...
    QTest::addColumn<QString>("message");     // before StoreText::notAddedUnchanged()

    const QString then = StoreText::beforeAdding();
    const auto row = [](const char *name, const QStringList &changes, const QString &message) {
        QTest::newRow(name) << changes << message;
    };
    row("comma in part", {"工程部位", "1#,2#楼"}, StoreText::fieldComma("工程部位", then));
    row("comma in hour", {"制作时间的小时", "0,9"},
        StoreText::fieldComma(RecordText::makingHour(), then));
    row("comma in minute", {"制作时间的分钟", "3,0"},
        StoreText::fieldComma(RecordText::makingMinute(), then));
    row("line break in quantity", {"工程量", "12\n13"}, StoreText::fieldLineBreak("工程量", then));
    row("carriage return in groups", {"组数", "3\r"}, StoreText::fieldLineBreak("组数", then));
    row("emoji in remark", {"备注", "好😀"},
        StoreText::fieldUnencodable("备注", "“😀”（U+1F600）", then));
    row("no-break space in quantity", {"工程量", "12\u00A0m³"},
        StoreText::fieldUnencodable("工程量", "不间断空格（U+00A0）", then));
    // Saved only as another character, without a word otherwise.
    row("square metres in quantity", {"工程量", "12m²"},
        StoreText::fieldBestFitted("工程量", "“²”（U+00B2）", "2", then));
    row("micro sign in remark", {"备注", "5µm"},
        StoreText::fieldBestFitted("备注", "“µ”（U+00B5）", "μ", then));
    row("hangul in curing", {"养护方式", "한"},
        StoreText::fieldUnencodable("养护方式", "“한”（U+D55C）", then));
    row("unreadable making date", {"制作日期", "制作日期“2026-13-1”无法识别。"},
        QStringLiteral("制作日期“2026-13-1”无法识别。"));
    // The boxes are checked in the order of the fields, before the due time.
    row("comma in age, no due time", {"龄期", "2,8", "到期时间", ""},
        StoreText::fieldComma("龄期", then));
    row("empty due time", {"到期时间", ""}, StoreText::dueTimeMissing());
    for (const char *due : {"2026-12-29 8:30", "2026-02-30 08:30", "2026-12-29 24:00"}) {
        QTest::addRow("due time %s", due)
            << QStringList{"到期时间", due} << StoreText::invalidDueTimeOnAdd(due);
    }
    // Number boxes hold a number and nothing else, the further amounts too.
    row("letter o in the hour", {"制作时间的小时", "o8"},
        RecordText::notANumber(RecordText::makingHour(), "o8"));
    row("unit in the age", {"龄期", "28天"}, RecordText::notANumber("龄期", "28天"));
    row("text in further hours", {"龄期的附加小时", "两"},
        RecordText::notANumber(RecordText::further(RecordText::hours()), "两"));
    row("text in further minutes", {"龄期的附加分钟", "x"},
        RecordText::notANumber(RecordText::further(RecordText::minutes()), "x"));
    // Refused whole, not cut to what a line's field can hold.
    row("100,000 characters in the remark", {"备注", QString(100000, QLatin1Char('x'))},
        StoreText::fieldTooLong("备注", 100000, 32767, then));
}

void TestRecordAdder::refusalWritesNothing()
{
    QFETCH(QStringList, changes);
    QFETCH(QString, message);

    const QByteArray before = file({QStringLiteral("1#楼梁")});
    writeFile(path(), before);
    RecordEntry refused = entry(QStringLiteral("2#楼板"));
    using namespace SpecimenRecord;
    const QHash<QString, QString *> boxes{{"工程部位", &refused[WorksPart]},
                                          {"制作时间的小时", &refused.making.hour},
                                          {"制作时间的分钟", &refused.making.minute},
                                          {"龄期", &refused.making.age},
                                          {"龄期的附加小时", &refused.making.furtherHours},
                                          {"龄期的附加分钟", &refused.making.furtherMinutes},
                                          {"到期时间", &refused.dueTime()},
                                          {"养护方式", &refused[CuringMethod]},
                                          {"工程量", &refused[Quantity]},
                                          {"组数", &refused[Groups]},
                                          {"备注", &refused[Remark]},
                                          {"制作日期", &refused.makingDateProblem}};
    for (qsizetype i = 0; i + 1 < changes.size(); i += 2)
        *boxes.value(changes[i]) = changes[i + 1];
    if (!refused.makingDateProblem.isEmpty())
        refused.making.makingDate = QDate();
    QCOMPARE(RecordAdder::refusal(refused), message + StoreText::notAddedUnchanged());

    // One refused entry keeps the others out too.
    const RecordAdder::Result result =
        RecordAdder(path(), &m_messages).add({entry(QStringLiteral("3#柱")), refused});
    QVERIFY(!result.added);
    QCOMPARE(readFile(path()), before);
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.shown[0].text, RecordAdder::refusal(refused));
    QCOMPARE(m_messages.shown[0].title, Title::error());
    QCOMPARE(m_messages.shown[0].style, MessageStyle::Exclamation);
}

void TestRecordAdder::entriesGoInOneSaveOnTheFileAsItIsNow()
{
    // Another copy added 1#楼梁 after this one loaded its table: it is kept.
    writeFile(path(), file({QStringLiteral("1#楼梁")}));
    const RecordAdder::Result result =
        RecordAdder(path(), &m_messages)
            .add({entry(QStringLiteral("2#楼板")), entry(QStringLiteral("3#柱"))});

    QVERIFY(result.added);
    QCOMPARE(readFile(path()),
             file({QStringLiteral("1#楼梁"), QStringLiteral("2#楼板"), QStringLiteral("3#柱")}));
    QCOMPARE(result.table.size(), 3);
    QCOMPARE(result.table.rows[2].toList(), sample(QStringLiteral("3#柱")).cells());
    QCOMPARE(m_messages.lastText(), StoreText::added(2));
    QCOMPARE(m_messages.shown.last().title, Title::information());
    // The lock goes with the add.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("a.bz")});
}

void TestRecordAdder::heldLockWritesNothingUntilReleased()
{
    const QByteArray before = file({QStringLiteral("1#楼梁")});
    writeFile(path(), before);
    RecordAdder adder(path(), &m_messages, 200);
    {
        const FileLock other(path(), StoreText::recordFile(), 0);
        QVERIFY(other.isLocked());
        QVERIFY(!adder.add({entry(QStringLiteral("2#楼板"))}).added);
        QCOMPARE(readFile(path()), before);
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown[0].title, Title::error());
        QCOMPARE(m_messages.shown[0].text,
                 BaseText::fileBusy(StoreText::recordFile(), path()) + StoreText::notAdded());
    }
    QVERIFY(adder.add({entry(QStringLiteral("2#楼板"))}).added);
    QCOMPARE(readFile(path()), file({QStringLiteral("1#楼梁"), QStringLiteral("2#楼板")}));
}

void TestRecordAdder::lockOfAnotherComputerNamedOrTakenOverWhenOld()
{
    // A lock written by a copy on the computer "lab-pc-2", as QLockFile writes one. Fresh, the
    // add waits and is refused naming the computer and the time; an hour old, no save can still
    // be under way, and the add takes the lock over.
    const QByteArray before = file({QStringLiteral("1#楼梁")});
    writeFile(path(), before);
    const QString lockPath = path() + QStringLiteral(".lock");
    writeFile(lockPath, "4242\nTarvelin\nlab-pc-2\n");
    const QString since =
        QFileInfo(lockPath).lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    RecordAdder adder(path(), &m_messages, 200);
    QVERIFY(!adder.add({entry(QStringLiteral("2#楼板"))}).added);
    QCOMPARE(m_messages.lastText(),
             BaseText::fileBusyElsewhere(StoreText::recordFile(), path(), "lab-pc-2", since) +
                 StoreText::notAdded());
    QCOMPARE(readFile(path()), before);

    {
        QFile lock(lockPath);
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                 QFileDevice::FileModificationTime));
    }
    QVERIFY(adder.add({entry(QStringLiteral("2#楼板"))}).added);
    QCOMPARE(readFile(path()), file({QStringLiteral("1#楼梁"), QStringLiteral("2#楼板")}));
    QVERIFY(!QFile::exists(lockPath));
}

// The question about a file that lost records waits for the user with the lock let go, and a yes
// adds to the file as it is after the answer, with what another copy added meanwhile.
void TestRecordAdder::lostRecordsAskedWithTheLockLetGo()
{
    struct OtherCopyAddsMeanwhile : RecordingMessages
    {
        QString path;
        bool lockFree = false;
        bool ask(const QString &text, const QString &title) override
        {
            lockFree = FileLock(path, QStringLiteral("记录文件"), 0).isLocked();
            writeFile(path, file({QStringLiteral("1#楼梁"), QStringLiteral("4#墙")}));
            return RecordingMessages::ask(text, title);
        }
    } messages;
    messages.path = path();
    messages.answer = true;
    writeFile(path(), file({QStringLiteral("1#楼梁")}));

    QVERIFY(RecordAdder(path(), &messages).add({entry(QStringLiteral("2#楼板"))}, 3).added);
    QVERIFY(messages.lockFree);
    QCOMPARE(messages.asked.size(), 1);
    QVERIFY(messages.asked[0].text.contains(QStringLiteral("只有 1 条记录")));
    QCOMPARE(readFile(path()),
             file({QStringLiteral("1#楼梁"), QStringLiteral("4#墙"), QStringLiteral("2#楼板")}));
}

// Two copies adding at the same time to a large file: without the lock both would read the same
// file and the second save would drop the first one's records.
void TestRecordAdder::concurrentAddsAllLand()
{
    constexpr int kRecords = 20000;
    constexpr int kAddsEach = 4;
    QStringList parts;
    for (int i = 0; i < kRecords; ++i)
        parts << QStringLiteral("%1#楼").arg(i);
    writeFile(path(), file(parts));

    const auto copy = [this](const QString &name, RecordingMessages *messages) {
        RecordAdder adder(path(), messages, 30000);
        for (int i = 0; i < kAddsEach; ++i)
            adder.add({entry(name + QString::number(i))});
    };
    RecordingMessages first, second;
    std::thread one(copy, QStringLiteral("甲"), &first);
    std::thread other(copy, QStringLiteral("乙"), &second);
    one.join();
    other.join();

    for (const RecordingMessages *messages : {&first, &second})
        QCOMPARE(messages->lastText(), StoreText::added());
    const RecordFile::Records saved = readFilled(RecordFile(path()));
    QCOMPARE(saved.lines.size(), kRecords + 2 * kAddsEach);
    QStringList added;
    for (qsizetype i = kRecords; i < saved.lines.size(); ++i)
        added << saved.lines[i].value(0);
    added.sort();
    QCOMPARE(added, (QStringList{"乙0", "乙1", "乙2", "乙3", "甲0", "甲1", "甲2", "甲3"}));
}

QTEST_GUILESS_MAIN(TestRecordAdder)
#include "tst_recordadder.moc"
