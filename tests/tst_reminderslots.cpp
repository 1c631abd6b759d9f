#include "reminderslots.h"
#include "testfiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Twelve keys of a fresh slot, in the order the reset writes them.
const char *const kFreshKeys =
    "是否显示=0\r\n编号=0\r\n工程部位=0\r\n强度等级=0\r\n配合比编号=0\r\n"
    "制作日期=0\r\n龄期=0\r\n养护方式=0\r\n到期时间=0\r\n工程量=0\r\n"
    "组数=0\r\n备注=0\r\n";

QByteArray freshSlot(const QString &name)
{
    return gbk(QLatin1Char('[') + name + QStringLiteral("]\r\n") + QString::fromUtf8(kFreshKeys));
}

} // namespace

class TestReminderSlots : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(path());
    }
    void slotNames_data();
    void slotNames();
    void freeFlags_data();
    void freeFlags();
    void rowsForScreenHeight_data();
    void rowsForScreenHeight();
    void resetFileForTwoRows();
    void resetBytesEqualSingleWrites();
    void resetReplacesAndFrees();
    void resetBelowOneRowLeavesNoFile();
    void firstFreeInFileOrder_data();
    void firstFreeInFileOrder();
    void claimAndRelease();
    void claimWithoutFileWritesNothing();
    void fillWritesElevenFieldsInOrder();
    void fillRefusesAndKeepsFile();
    void fillFirstFreeSkipsReserved();

private:
    QString path() const { return m_dir.filePath(QStringLiteral("vexa.ini")); }
    QTemporaryDir m_dir;
};

void TestReminderSlots::slotNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("layer");
    QTest::addColumn<int>("row"); // 0: not a slot

    QTest::newRow("first") << "1|1" << 1 << 1;
    QTest::newRow("two digits") << "5|12" << 5 << 12;
    QTest::newRow("layer beyond five") << "7|2" << 7 << 2;
    QTest::newRow("zero layer") << "0|1" << 0 << 0;
    QTest::newRow("zero row") << "1|0" << 0 << 0;
    QTest::newRow("leading zero") << "01|1" << 0 << 0;
    QTest::newRow("blank before") << " 1|1" << 0 << 0;
    QTest::newRow("blank after") << "1|1 " << 0 << 0;
    QTest::newRow("sign") << "1|+2" << 0 << 0;
    QTest::newRow("negative") << "-1|2" << 0 << 0;
    QTest::newRow("no bar") << "11" << 0 << 0;
    QTest::newRow("two bars") << "1||2" << 0 << 0;
    QTest::newRow("fraction") << "1|1.5" << 0 << 0;
    QTest::newRow("key line with a bracket") << "备注=加急" << 0 << 0;
    QTest::newRow("empty") << "" << 0 << 0;
    QTest::newRow("too long") << "1|12345678901" << 0 << 0;
}

void TestReminderSlots::slotNames()
{
    QFETCH(QString, name);
    QFETCH(int, layer);
    QFETCH(int, row);
    const auto slot = ReminderSlots::parseName(name);
    QCOMPARE(slot.has_value(), row > 0);
    if (slot) {
        QCOMPARE(slot->layer, layer);
        QCOMPARE(slot->row, row);
        QCOMPARE(ReminderSlots::name(layer, row), name);
    }
}

void TestReminderSlots::freeFlags_data()
{
    QTest::addColumn<QString>("flag");
    QTest::addColumn<bool>("free");

    QTest::newRow("0") << "0" << true;
    QTest::newRow("00") << "00" << true;
    QTest::newRow("blanks") << " 0 " << true;
    QTest::newRow("0.0") << "0.0" << true;
    QTest::newRow("-0") << "-0" << true;
    QTest::newRow("leading zero of text") << "0abc" << true;
    QTest::newRow("1") << "1" << false;
    QTest::newRow("0.5") << "0.5" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("text") << "abc" << false;
    QTest::newRow("point only") << "." << false;
    QTest::newRow("sign only") << "-" << false;
}

void TestReminderSlots::freeFlags()
{
    QFETCH(QString, flag);
    QFETCH(bool, free);
    QCOMPARE(ReminderSlots::isFreeFlag(flag), free);
}

void TestReminderSlots::rowsForScreenHeight_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("rows");

    QTest::newRow("600 px") << 600 * 15 << 2;
    QTest::newRow("768 px") << 768 * 15 << 3;
    QTest::newRow("1024 px") << 1024 * 15 << 5;
    QTest::newRow("1080 px") << 1080 * 15 << 5;
    QTest::newRow("4.5 rounds to even") << 12555 << 3;
    QTest::newRow("1.5 rounds to even") << 4185 << 1;
    QTest::newRow("just below 1.5") << 4184 << 0;
    QTest::newRow("no screen") << 0 << 0;
}

void TestReminderSlots::rowsForScreenHeight()
{
    QFETCH(int, twips);
    QFETCH(int, rows);
    QCOMPARE(ReminderSlots::rowsPerLayer(twips), rows);
}

void TestReminderSlots::resetFileForTwoRows()
{
    QByteArray expected;
    for (const char *name : {"1|1", "1|2", "2|1", "2|2", "3|1", "3|2", "4|1", "4|2", "5|1", "5|2"})
        expected += freshSlot(QString::fromLatin1(name));
    QCOMPARE(ReminderSlots::resetBytes(2), expected);
    QCOMPARE(ReminderSlots::resetBytes(0), QByteArray());

    QVERIFY(ReminderSlots(path()).reset(2).ok);
    QCOMPARE(readFile(path()), expected);
    QCOMPARE(ListIniSections(path()).size(), 10);
}

void TestReminderSlots::resetBytesEqualSingleWrites()
{
    // The file one write per key, in reset order, leaves behind; built on disk and in memory.
    const ProfileFile file(path());
    QByteArray inMemory;
    for (int layer = 1; layer <= ReminderSlots::Layers; ++layer) {
        for (int row = 1; row <= 3; ++row) {
            for (const QString &key : ReminderSlots::resetKeys()) {
                const QString slot = ReminderSlots::name(layer, row);
                const QList<ProfileFile::Entry> entry{{key, QStringLiteral("0")}};
                QVERIFY(file.write(slot, entry).ok);
                QString error;
                inMemory = ProfileFile::withEntries(inMemory, slot, entry, &error);
                QCOMPARE(error, QString());
            }
        }
    }
    QCOMPARE(readFile(path()), ReminderSlots::resetBytes(3));
    QCOMPARE(inMemory, ReminderSlots::resetBytes(3));
}

void TestReminderSlots::resetReplacesAndFrees()
{
    const ReminderSlots exchange(path());
    writeFile(path(), gbk(QStringLiteral("[9|9]\r\n是否显示=1\r\n备注=旧\r\n")));
    QVERIFY(exchange.reset(1).ok);
    QCOMPARE(readFile(path()), ReminderSlots::resetBytes(1));

    QCOMPARE(exchange.claim().slot, QStringLiteral("1|1"));
    QCOMPARE(exchange.fillFirstFree(sample().slotValues()).slot, QStringLiteral("2|1"));
    QVERIFY(exchange.reset(1).ok);
    QVERIFY(exchange.reset(1).ok);
    QCOMPARE(readFile(path()), ReminderSlots::resetBytes(1));
}

void TestReminderSlots::resetBelowOneRowLeavesNoFile()
{
    writeFile(path(), ReminderSlots::resetBytes(2));
    QVERIFY(ReminderSlots(path()).reset(ReminderSlots::rowsPerLayer(4000)).ok);
    QVERIFY(!QFileInfo::exists(path()));
    // A missing file is no error either.
    QVERIFY(ReminderSlots(path()).reset(0).ok);
    QVERIFY(!QFileInfo::exists(path()));
}

void TestReminderSlots::firstFreeInFileOrder_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("skip");
    QTest::addColumn<QString>("expected");

    const QString held1 = QStringLiteral("[1|1]\r\n是否显示=1\r\n");
    QTest::newRow("fresh file") << ReminderSlots::resetBytes(2) << QStringList() << "1|1";
    QTest::newRow("first held") << gbk(held1) + freshSlot("1|2") << QStringList() << "1|2";
    QTest::newRow("file order, not number order")
        << freshSlot("2|1") + freshSlot("1|1") << QStringList() << "2|1";
    QTest::newRow("skipped") << ReminderSlots::resetBytes(2) << QStringList{"1|1", "1|2"} << "2|1";
    QTest::newRow("all held") << gbk(held1) << QStringList() << "";
    QTest::newRow("not a slot name")
        << gbk(QStringLiteral(
               "[提示]\r\n是否显示=0\r\n[01|1]\r\n是否显示=0\r\n[1|1]\r\n是否显示=0\r\n"))
        << QStringList() << "1|1";
    QTest::newRow("empty flag is not free")
        << gbk(QStringLiteral("[1|1]\r\n是否显示=\r\n[1|2]\r\n是否显示=0\r\n")) << QStringList()
        << "1|2";
    QTest::newRow("text flag is not free")
        << gbk(QStringLiteral("[1|1]\r\n是否显示=是\r\n[1|2]\r\n是否显示=0\r\n")) << QStringList()
        << "1|2";
    QTest::newRow("no flag is not free")
        << gbk(QStringLiteral("[1|1]\r\n编号=0\r\n[1|2]\r\n是否显示=0\r\n")) << QStringList()
        << "1|2";
    QTest::newRow("bracket value is not a slot")
        << gbk(QStringLiteral("[1|1]\r\n是否显示=1\r\n备注=[2|2]\r\n")) << QStringList() << "";
    QTest::newRow("slot added by a popup after a reset")
        << gbk(held1) + gbk(QStringLiteral("[3|4]\r\n是否显示=0\r\n")) << QStringList() << "3|4";
    QTest::newRow("empty file") << QByteArray() << QStringList() << "";
}

void TestReminderSlots::firstFreeInFileOrder()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, skip);
    QFETCH(QString, expected);
    const QSet<QString> skipSet(skip.cbegin(), skip.cend());
    QCOMPARE(ReminderSlots::firstFreeIn(file, skipSet), expected);
    writeFile(path(), file);
    const ReminderSlots::Found found = ReminderSlots(path()).firstFree(skipSet);
    QCOMPARE(found.slot, expected);
    QCOMPARE(found.error, QString());
}

void TestReminderSlots::claimAndRelease()
{
    const ReminderSlots exchange(path());
    QVERIFY(exchange.reset(1).ok);
    QCOMPARE(exchange.fillFirstFree(sample().slotValues()).slot, QStringLiteral("1|1"));
    const QByteArray filled = readFile(path());

    QCOMPARE(exchange.claim().slot, QStringLiteral("1|1"));
    QCOMPARE(ReadIniValue(QStringLiteral("1|1"), QStringLiteral("是否显示"), path()),
             QStringLiteral("1"));
    QCOMPARE(exchange.claim().slot, QStringLiteral("2|1"));
    QVERIFY(exchange.release(QStringLiteral("1|1")).ok);
    // Freeing writes the flag back and leaves the fields: the file is as before the claim,
    // apart from 2|1.
    QVERIFY(exchange.release(QStringLiteral("2|1")).ok);
    QCOMPARE(readFile(path()), filled);
    QCOMPARE(exchange.claim().slot, QStringLiteral("1|1"));

    for (int layer = 2; layer <= ReminderSlots::Layers; ++layer)
        QCOMPARE(exchange.claim().slot, ReminderSlots::name(layer, 1));
    const QByteArray allHeld = readFile(path());
    const ReminderSlots::Found none = exchange.claim();
    QCOMPARE(none.slot, QString());
    QCOMPARE(none.error, QString());
    QCOMPARE(readFile(path()), allHeld);

    // A popup told its own slot takes that one or none: never another record's slot.
    QVERIFY(exchange.release(QStringLiteral("3|1")).ok);
    const QByteArray oneFree = readFile(path());
    for (const QString &taken : {QStringLiteral("1|1"), QStringLiteral("9|9")}) {
        const ReminderSlots::Found refused = exchange.claim(taken);
        QCOMPARE(refused.slot, QString());
        QVERIFY(refused.error.contains(taken));
        QCOMPARE(readFile(path()), oneFree);
    }
    QCOMPARE(exchange.claim(QStringLiteral("3|1")).slot, QStringLiteral("3|1"));
}

void TestReminderSlots::claimWithoutFileWritesNothing()
{
    const ReminderSlots::Found found = ReminderSlots(path()).claim();
    QCOMPARE(found.slot, QString());
    QCOMPARE(found.error, QString());
    QVERIFY(!QFileInfo::exists(path()));
    QVERIFY(!QFileInfo::exists(path() + QStringLiteral(".lock")));
}

void TestReminderSlots::fillWritesElevenFieldsInOrder()
{
    const ReminderSlots exchange(path());
    // A fresh slot keeps its key order: every line is replaced in place.
    QVERIFY(exchange.reset(1).ok);
    QCOMPARE(exchange.fillFirstFree(sample().slotValues()).slot, QStringLiteral("1|1"));
    const QByteArray expectedSlot = gbk(QStringLiteral(
        "[1|1]\r\n是否显示=0\r\n编号=3\r\n工程部位=三号楼基础\r\n强度等级=C30\r\n"
        "配合比编号=P-01\r\n制作日期=2026-12-1 08:30\r\n龄期=28\r\n养护方式=标准养护\r\n"
        "到期时间=2026-12-29 08:30\r\n工程量=12\r\n组数=3\r\n备注=\r\n"));
    QCOMPARE(readFile(path()),
             expectedSlot + ReminderSlots::resetBytes(1).mid(freshSlot("1|1").size()));
    QCOMPARE(exchange.values(QStringLiteral("1|1"), ReminderSlots::popupKeys()),
             (QStringList{"3", "C30", "三号楼基础", "P-01", "2026-12-1 08:30", "28", "标准养护",
                          "2026-12-29 08:30", "12", "3", ""}));

    // Keys missing from a slot are added in the dispatcher's order.
    writeFile(path(), gbk(QStringLiteral("[1|1]\r\n是否显示=0\r\n")));
    QCOMPARE(exchange.fillFirstFree(sample().slotValues()).slot, QStringLiteral("1|1"));
    QCOMPARE(readFile(path()), expectedSlot);
}

void TestReminderSlots::fillRefusesAndKeepsFile()
{
    const ReminderSlots exchange(path());
    QVERIFY(exchange.reset(1).ok);
    const QByteArray before = readFile(path());

    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    ReminderSlots::Found outcome =
        exchange.fillFirstFree(sample().with(SpecimenRecord::Remark, emoji).slotValues());
    QVERIFY(outcome.slot.isEmpty());
    QVERIFY(outcome.error.contains(emoji));

    outcome = exchange.fillFirstFree(sample().slotValues().mid(1));
    QVERIFY(outcome.slot.isEmpty());
    QVERIFY(outcome.error.contains(QStringLiteral("11")));
    QCOMPARE(readFile(path()), before);
}

void TestReminderSlots::fillFirstFreeSkipsReserved()
{
    const ReminderSlots exchange(path());
    QVERIFY(exchange.reset(1).ok);
    QCOMPARE(exchange.fillFirstFree(sample().slotValues()).slot, QStringLiteral("1|1"));
    // The flag stays "0" until a popup claims the slot, so the dispatcher skips what it filled.
    QCOMPARE(exchange.fillFirstFree(sample().slotValues()).slot, QStringLiteral("1|1"));
    QCOMPARE(exchange.fillFirstFree(sample().slotValues(), {QStringLiteral("1|1")}).slot,
             QStringLiteral("2|1"));
    QCOMPARE(ReadIniValue(QStringLiteral("2|1"), QStringLiteral("工程部位"), path()),
             QStringLiteral("三号楼基础"));
    QCOMPARE(ReadIniValue(QStringLiteral("2|1"), QStringLiteral("是否显示"), path()),
             QStringLiteral("0"));

    QSet<QString> all;
    for (int layer = 1; layer <= ReminderSlots::Layers; ++layer)
        all.insert(ReminderSlots::name(layer, 1));
    const QByteArray before = readFile(path());
    const ReminderSlots::Found none = exchange.fillFirstFree(sample().slotValues(), all);
    QCOMPARE(none.slot, QString());
    QCOMPARE(readFile(path()), before);
}

QTEST_GUILESS_MAIN(TestReminderSlots)
#include "tst_reminderslots.moc"
