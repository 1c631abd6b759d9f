#include "basetexts.h"
#include "exchangetexts.h"
#include "profilefile.h"
#include "testfiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// "乚" is 0x81 0x5D in GBK: its second byte is "]".
const QString kTrailBracket = QStringLiteral("乚");
} // namespace

class TestProfileFile : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(path());
    }
    void readsValues_data();
    void readsValues();
    void missingFileReadsEmpty();
    void listsSections_data();
    void listsSections();
    void writes_data();
    void writes();
    void severalKeysEqualSingleWrites();
    void refusedWritesKeepFile_data();
    void refusedWritesKeepFile();
    void writeIntoMissingFolderFails();
    void lockKeepsOthersOut();

private:
    QString path() const { return m_dir.filePath(QStringLiteral("vexa.ini")); }
    QTemporaryDir m_dir;
};

void TestProfileFile::readsValues_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QByteArray slot = gbk(QStringLiteral("[1|1]\r\n是否显示=1\r\n工程部位=三号楼基础\r\n"
                                               "备注=\r\n组数=3\r\n[1|2]\r\n是否显示=0\r\n"));
    QTest::newRow("one character") << slot << "1|1"
                                   << "是否显示"
                                   << "1";
    QTest::newRow("chinese") << slot << "1|1"
                             << "工程部位"
                             << "三号楼基础";
    QTest::newRow("empty value") << slot << "1|1"
                                 << "备注"
                                 << "";
    QTest::newRow("absent key") << slot << "1|1"
                                << "龄期"
                                << "";
    QTest::newRow("absent section") << slot << "9|9"
                                    << "是否显示"
                                    << "";
    QTest::newRow("next section") << slot << "1|2"
                                  << "是否显示"
                                  << "0";
    QTest::newRow("key only in next section") << slot << "1|2"
                                              << "组数"
                                              << "";
    QTest::newRow("bracket in value") << gbk(QStringLiteral("[a]\r\n备注=[加急]\r\nk=v\r\n")) << "a"
                                      << "k"
                                      << "v";
    QTest::newRow("equals in value") << QByteArray("[a]\r\nk=x=y\r\n") << "a"
                                     << "k"
                                     << "x=y";
    QTest::newRow("blanks around key, value kept") << QByteArray("[a]\r\n  k = v \r\n") << "a"
                                                   << "k"
                                                   << " v ";
    QTest::newRow("first of two sections") << QByteArray("[a]\r\nk=1\r\n[a]\r\nk=2\r\n") << "a"
                                           << "k"
                                           << "1";
    QTest::newRow("bare LF lines") << QByteArray("[a]\nk=1\n[b]\nk=2\n") << "b"
                                   << "k"
                                   << "2";
    QTest::newRow("no final break") << QByteArray("[a]\r\nk=last") << "a"
                                    << "k"
                                    << "last";
    QTest::newRow("NUL removed") << QByteArray("[a]\r\nk=1\0002\r\n", 12) << "a"
                                 << "k"
                                 << "12";
    QTest::newRow("trail byte is no header end")
        << gbk(QStringLiteral("[a]\r\n[x") + kTrailBracket + QStringLiteral("\r\nk=1\r\n")) << "a"
        << "k"
        << "1";
}

void TestProfileFile::readsValues()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    writeFile(path(), file);
    QCOMPARE(ReadIniValue(section, key, path()), expected);
    QCOMPARE(ProfileFile::valueIn(file, section, key), expected);
}

void TestProfileFile::missingFileReadsEmpty()
{
    QCOMPARE(ReadIniValue(QStringLiteral("1|1"), QStringLiteral("是否显示"), path()), QString());
    QCOMPARE(ListIniSections(path()), QStringList());
    QVERIFY(!QFileInfo::exists(path()));
}

void TestProfileFile::listsSections_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no headers") << QByteArray("k=v\r\nx\r\n") << QStringList();
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("file order") << QByteArray("[2|1]\r\nk=0\r\n[1|1]\r\n[1|2]\r\n")
                                << QStringList{"2|1", "1|1", "1|2"};
    QTest::newRow("blank after [") << QByteArray("[ 1|1]\r\n") << QStringList{" 1|1"};
    QTest::newRow("blanks around the brackets")
        << QByteArray("  [1|1] \r\n") << QStringList{"  1|1 "};
    QTest::newRow("empty header") << QByteArray("[]\r\n") << QStringList{""};
    QTest::newRow("bracket in a value is no section")
        << gbk(QStringLiteral("[1|1]\r\n备注=[加急]\r\n备注2=见[附件]\r\n")) << QStringList{"1|1"};
    QTest::newRow("unclosed") << QByteArray("[1|1\r\n1|2]\r\n[1|3]\r\n") << QStringList{"1|3"};
    QTest::newRow("every bracket removed") << QByteArray("[a[b]c]\r\n") << QStringList{"abc"};
    QTest::newRow("chinese name") << gbk(QStringLiteral("[提示]\r\n")) << QStringList{"提示"};
    QTest::newRow("GBK byte 0x5D is not a closing bracket")
        << gbk(QStringLiteral("[x") + kTrailBracket + QStringLiteral("\r\n[y]\r\n"))
        << QStringList{"y"};
    QTest::newRow("bare LF") << QByteArray("[a]\nk=1\n[b]\n") << QStringList{"a", "b"};
}

void TestProfileFile::listsSections()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, expected);
    writeFile(path(), file);
    QCOMPARE(ListIniSections(path()), expected);
}

void TestProfileFile::writes_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    const QByteArray two("[a]\r\nk=1\r\nm=2\r\n[b]\r\nk=3\r\n");
    QTest::newRow("creates the file") << QByteArray() << "1|1"
                                      << "是否显示"
                                      << "0" << gbk(QStringLiteral("[1|1]\r\n是否显示=0\r\n"));
    QTest::newRow("key replaced in place")
        << two << "a"
        << "k"
        << "9" << QByteArray("[a]\r\nk=9\r\nm=2\r\n[b]\r\nk=3\r\n");
    QTest::newRow("same key in the other section")
        << two << "b"
        << "k"
        << "9" << QByteArray("[a]\r\nk=1\r\nm=2\r\n[b]\r\nk=9\r\n");
    QTest::newRow("new key at the end of its section")
        << two << "a"
        << "n"
        << "5" << QByteArray("[a]\r\nk=1\r\nm=2\r\nn=5\r\n[b]\r\nk=3\r\n");
    QTest::newRow("new key in the last section")
        << two << "b"
        << "n"
        << "5" << QByteArray("[a]\r\nk=1\r\nm=2\r\n[b]\r\nk=3\r\nn=5\r\n");
    QTest::newRow("new section at the end")
        << two << "c"
        << "k"
        << "v" << QByteArray("[a]\r\nk=1\r\nm=2\r\n[b]\r\nk=3\r\n[c]\r\nk=v\r\n");
    QTest::newRow("blank line between sections stays")
        << QByteArray("[a]\r\nk=1\r\n\r\n[b]\r\n") << "a"
        << "n"
        << "5" << QByteArray("[a]\r\nk=1\r\nn=5\r\n\r\n[b]\r\n");
    QTest::newRow("no final break, new key") << QByteArray("[a]\r\nk=1") << "a"
                                             << "n"
                                             << "5" << QByteArray("[a]\r\nk=1\r\nn=5\r\n");
    QTest::newRow("no final break, new section")
        << QByteArray("[a]\r\nk=1") << "c"
        << "n"
        << "5" << QByteArray("[a]\r\nk=1\r\n[c]\r\nn=5\r\n");
    QTest::newRow("other lines untouched byte for byte")
        << QByteArray(";note\n[a]\n  k = 1 \n x=\t2\r\n[b]\nk=3\n") << "a"
        << "k"
        << "7" << QByteArray(";note\n[a]\nk=7\n x=\t2\r\n[b]\nk=3\n");
    QTest::newRow("bracket in a value does not end the section")
        << gbk(QStringLiteral("[1|1]\r\n备注=[加急]\r\n[1|2]\r\n")) << "1|1"
        << "组数"
        << "3" << gbk(QStringLiteral("[1|1]\r\n备注=[加急]\r\n组数=3\r\n[1|2]\r\n"));
    QTest::newRow("chinese value in GBK")
        << gbk(QStringLiteral("[1|1]\r\n工程部位=0\r\n")) << "1|1"
        << "工程部位"
        << "三号楼" << gbk(QStringLiteral("[1|1]\r\n工程部位=三号楼\r\n"));
    QTest::newRow("empty value") << QByteArray("[a]\r\nk=1\r\n") << "a"
                                 << "k"
                                 << "" << QByteArray("[a]\r\nk=\r\n");
    QTest::newRow("first of two sections") << QByteArray("[a]\r\nk=1\r\n[a]\r\nk=2\r\n") << "a"
                                           << "k"
                                           << "0" << QByteArray("[a]\r\nk=0\r\n[a]\r\nk=2\r\n");
}

void TestProfileFile::writes()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    if (!before.isEmpty())
        writeFile(path(), before);
    const ProfileFile::Outcome outcome = ProfileFile(path()).write(section, key, value);
    QVERIFY2(outcome.ok, qPrintable(outcome.error));
    QCOMPARE(readFile(path()), after);
    QCOMPARE(ReadIniValue(section, key, path()), value);
    QVERIFY(!QFileInfo::exists(path() + QStringLiteral(".lock")));
}

void TestProfileFile::severalKeysEqualSingleWrites()
{
    const QByteArray start = gbk(QStringLiteral("[1|1]\r\n是否显示=0\r\n编号=0\r\n[1|2]\r\n"));
    const QList<ProfileFile::Entry> entries{{QStringLiteral("编号"), QStringLiteral("7")},
                                            {QStringLiteral("备注"), QStringLiteral("加急")},
                                            {QStringLiteral("组数"), QStringLiteral("3")},
                                            {QStringLiteral("备注"), QStringLiteral("复检")}};
    writeFile(path(), start);
    const QString other = m_dir.filePath(QStringLiteral("single.ini"));
    writeFile(other, start);

    QVERIFY(ProfileFile(path()).write(QStringLiteral("1|1"), entries).ok);
    for (const ProfileFile::Entry &entry : entries)
        QVERIFY(ProfileFile(other).write(QStringLiteral("1|1"), entry.first, entry.second).ok);
    QCOMPARE(readFile(path()), readFile(other));
    QCOMPARE(readFile(path()), gbk(QStringLiteral("[1|1]\r\n是否显示=0\r\n编号=7\r\n备注=复检\r\n"
                                                  "组数=3\r\n[1|2]\r\n")));
}

void TestProfileFile::refusedWritesKeepFile_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("inError");

    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    QTest::newRow("value GBK cannot hold") << "1|1"
                                           << "备注" << (QStringLiteral("加急") + emoji) << emoji;
    QTest::newRow("section GBK cannot hold") << ("1|" + emoji) << "备注"
                                             << "x" << emoji;
    QTest::newRow("no-break space in value")
        << "1|1"
        << "备注" << QStringLiteral("12\u00A0m") << QStringLiteral("不间断空格（U+00A0）");
    QTest::newRow("line break in value")
        << "1|1"
        << "备注"
        << "a\r\nb" << ExchangeText::valueLineBreak(QStringLiteral("备注"));
    QTest::newRow("bracket in section") << "1|1]"
                                        << "备注"
                                        << "x" << ExchangeText::badSection(QStringLiteral("1|1]"));
    QTest::newRow("empty section") << ""
                                   << "备注"
                                   << "x" << ExchangeText::badSection(QString());
    QTest::newRow("equals in key") << "1|1"
                                   << "a=b"
                                   << "x" << ExchangeText::badKey(QStringLiteral("a=b"));
    QTest::newRow("key that would read as a header")
        << "1|1"
        << "[a"
        << "]" << ExchangeText::badKey(QStringLiteral("[a"));
}

void TestProfileFile::refusedWritesKeepFile()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, inError);
    const QByteArray before = gbk(QStringLiteral("[1|1]\r\n是否显示=0\r\n备注=0\r\n"));
    writeFile(path(), before);
    const ProfileFile::Outcome outcome = ProfileFile(path()).write(section, key, value);
    QVERIFY(!outcome.ok);
    QVERIFY2(outcome.error.contains(inError), qPrintable(outcome.error));
    QVERIFY(outcome.error.endsWith(ExchangeText::profileFileUnchanged()));
    QCOMPARE(readFile(path()), before);
}

void TestProfileFile::writeIntoMissingFolderFails()
{
    const QString missing = m_dir.filePath(QStringLiteral("nowhere/vexa.ini"));
    const ProfileFile::Outcome outcome =
        ProfileFile(missing).write(QStringLiteral("1|1"), QStringLiteral("k"), QStringLiteral("v"));
    QVERIFY(!outcome.ok);
    QVERIFY(!outcome.error.isEmpty());
    QVERIFY(!QFileInfo::exists(missing));
}

void TestProfileFile::lockKeepsOthersOut()
{
    const ProfileFile file(path());
    {
        const ProfileFile::Lock first = file.lock();
        QVERIFY(first.isLocked());
        QVERIFY(QFileInfo::exists(path() + QStringLiteral(".lock")));
        const ProfileFile::Lock second = file.lock(0);
        QVERIFY(!second.isLocked());
        QCOMPARE(second.error(), BaseText::fileBusy(ExchangeText::profileFile(), path()));
        // The holder writes through its own lock.
        QVERIFY(file.write(first, QStringLiteral("a"), {{QStringLiteral("k"), QStringLiteral("1")}})
                    .ok);
        // A lock that is not held lets nothing through.
        QVERIFY(
            !file.write(second, QStringLiteral("a"), {{QStringLiteral("k"), QStringLiteral("2")}})
                 .ok);
        QVERIFY(!file.replace(second, QByteArray("x")).ok);
    }
    QCOMPARE(readFile(path()), QByteArray("[a]\r\nk=1\r\n"));
    QVERIFY(file.lock(0).isLocked());
    QVERIFY(!QFileInfo::exists(path() + QStringLiteral(".lock")));
}

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
