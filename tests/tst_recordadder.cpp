#include "apppaths.h"
#include "fakes.h"
#include "filelock.h"
#include "recordadder.h"
#include "testfiles.h"

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
    QTest::addColumn<QString>("message"); // before "这条信息没有添加，记录文件未被改动。"

    const QString comma = QStringLiteral("“%1”中有逗号“,”。记录文件用逗号分隔字段，这个逗号会把"
                                         "记录拆开。请去掉逗号（可改用全角逗号“，”）后再添加。");
    const QString lineBreak =
        QStringLiteral("“%1”中有换行符，它会把记录拆成两行。请去掉换行后再添加。");
    const QString unencodable =
        QStringLiteral("“%1”中的字符%2无法保存到记录文件（代码页 936 中没有这个字符）。"
                       "请换用其他写法后再添加。");
    const QString notDue = QStringLiteral(
        "到期时间“%1”不是“YYYY-MM-DD hh:mm”形式的有效时间（例如 2024-05-31 09:05），这样的记录"
        "永远不会提醒。请按“?”重新计算，或按此形式填写。");
    const auto row = [](const char *name, const QStringList &changes, const QString &message) {
        QTest::newRow(name) << changes << message;
    };
    row("comma in part", {"工程部位", "1#,2#楼"}, comma.arg("工程部位"));
    row("comma in hour", {"制作时间的小时", "0,9"}, comma.arg("制作时间的小时"));
    row("comma in minute", {"制作时间的分钟", "3,0"}, comma.arg("制作时间的分钟"));
    row("line break in quantity", {"工程量", "12\n13"}, lineBreak.arg("工程量"));
    row("carriage return in groups", {"组数", "3\r"}, lineBreak.arg("组数"));
    row("emoji in remark", {"备注", "好😀"}, unencodable.arg("备注", "“😀”（U+1F600）"));
    row("no-break space in quantity", {"工程量", "12\u00A0m³"},
        unencodable.arg("工程量", "不间断空格（U+00A0）"));
    row("hangul in curing", {"养护方式", "한"}, unencodable.arg("养护方式", "“한”（U+D55C）"));
    row("unreadable making date", {"制作日期", "制作日期“2026-13-1”无法识别。"},
        QStringLiteral("制作日期“2026-13-1”无法识别。"));
    // The boxes are checked in the order of the fields, before the due time.
    row("comma in age, no due time", {"龄期", "2,8", "到期时间", ""}, comma.arg("龄期"));
    row("empty due time", {"到期时间", ""},
        QStringLiteral(
            "到期时间未填写。请先按“?”计算到期时间，或按“YYYY-MM-DD hh:mm”的形式填写。"));
    for (const char *due : {"2026-12-29 8:30", "2026-02-30 08:30", "2026-12-29 24:00"})
        QTest::addRow("due time %s", due) << QStringList{"到期时间", due} << notDue.arg(due);
    // Number boxes hold a number and nothing else, the further amounts too.
    const QString notNumber =
        QStringLiteral("%1“%2”不是数字：这一栏只能填数字（可带小数点和正负号）。");
    row("letter o in the hour", {"制作时间的小时", "o8"}, notNumber.arg("制作时间的小时", "o8"));
    row("unit in the age", {"龄期", "28天"}, notNumber.arg("龄期", "28天"));
    row("text in further hours", {"龄期的附加小时", "两"}, notNumber.arg("龄期的附加小时", "两"));
    row("text in further minutes", {"龄期的附加分钟", "x"}, notNumber.arg("龄期的附加分钟", "x"));
    // Refused whole, not cut to what a line's field can hold.
    row("100,000 characters in the remark", {"备注", QString(100000, QLatin1Char('x'))},
        QStringLiteral("“备注”中的文字有 100000 个字符，超过了一栏最多能保存的 32767 个字符。"
                       "请删短后再添加。"));
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
    QCOMPARE(RecordAdder::refusal(refused),
             message + QStringLiteral("这条信息没有添加，记录文件未被改动。"));

    // One refused entry keeps the others out too.
    const RecordAdder::Result result =
        RecordAdder(path(), &m_messages).add({entry(QStringLiteral("3#柱")), refused});
    QVERIFY(!result.added);
    QCOMPARE(readFile(path()), before);
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.shown[0].text, RecordAdder::refusal(refused));
    QCOMPARE(m_messages.shown[0].title, QStringLiteral("错误"));
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
    QCOMPARE(m_messages.lastText(), QStringLiteral("2 条信息添加完成！"));
    QCOMPARE(m_messages.shown.last().title, QStringLiteral("信息"));
    // The lock goes with the add.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("a.bz")});
}

void TestRecordAdder::heldLockWritesNothingUntilReleased()
{
    const QByteArray before = file({QStringLiteral("1#楼梁")});
    writeFile(path(), before);
    RecordAdder adder(path(), &m_messages, 200);
    {
        const FileLock other(path(), QStringLiteral("记录文件"), 0);
        QVERIFY(other.isLocked());
        QVERIFY(!adder.add({entry(QStringLiteral("2#楼板"))}).added);
        QCOMPARE(readFile(path()), before);
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown[0].title, QStringLiteral("错误"));
        QCOMPARE(m_messages.shown[0].text,
                 QStringLiteral("记录文件 %1 正被另一个程序使用，请稍后再试。记录文件未被改动。"
                                "这条信息没有添加。")
                     .arg(path()));
    }
    QVERIFY(adder.add({entry(QStringLiteral("2#楼板"))}).added);
    QCOMPARE(readFile(path()), file({QStringLiteral("1#楼梁"), QStringLiteral("2#楼板")}));
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
        QCOMPARE(messages->lastText(), QStringLiteral("此条信息添加完成！"));
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
