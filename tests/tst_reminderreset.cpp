#include "fakes.h"
#include "form1.h"
#include "reminderreset.h"
#include "reminderslots.h"
#include "testfiles.h"
#include "titles.h"
#include "windowtexts.h"

#include <QAction>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class TestReminderReset : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void rebuildsForScreen_data();
    void rebuildsForScreen();
    void failureIsReported();
    void menuItemUsesPrimaryScreen();

private:
    ManagerServices services(const QString &folder)
    {
        ManagerServices result;
        result.dataFolder = folder;
        result.clock = &m_clock;
        result.messages = &m_messages;
        return result;
    }
    QString path() const { return m_dir.filePath(QStringLiteral("vexa.ini")); }
    void expectDoneMessage()
    {
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown[0].text, WindowText::resetDone());
        QCOMPARE(m_messages.shown[0].title, Title::notice());
        QCOMPARE(m_messages.shown[0].style, MessageStyle::Information);
    }

    QTemporaryDir m_dir;
    FakeClock m_clock{QDateTime(QDate(2026, 12, 6), QTime(9, 4, 30))};
    RecordingMessages m_messages;
};

void TestReminderReset::init()
{
    QVERIFY(m_dir.isValid());
    m_messages.shown.clear();
    // A file with a held slot and a foreign section, as a reset finds it.
    writeFile(path(),
              gbk(QStringLiteral("[1|1]\r\n是否显示=1\r\n备注=旧\r\n[7|7]\r\n是否显示=1\r\n")));
}

void TestReminderReset::rebuildsForScreen_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("slotCount"); // 0: no file

    QTest::newRow("600 px") << 9000 << 10;
    QTest::newRow("768 px") << 11520 << 15;
    QTest::newRow("1080 px") << 16200 << 25;
    QTest::newRow("too low for a row") << 4000 << 0;
}

void TestReminderReset::rebuildsForScreen()
{
    QFETCH(int, twips);
    QFETCH(int, slotCount);
    const ManagerServices given = services(m_dir.path());
    ReminderReset(given, twips).tscsh_Click();
    if (slotCount == 0) {
        QVERIFY(!QFileInfo::exists(path()));
    } else {
        QCOMPARE(readFile(path()), ReminderSlots::resetBytes(slotCount / ReminderSlots::Layers));
        QCOMPARE(ListIniSections(path()).size(), slotCount);
    }
    expectDoneMessage();
}

void TestReminderReset::failureIsReported()
{
    const ManagerServices given = services(m_dir.filePath(QStringLiteral("missing")));
    ReminderReset(given, 9000).tscsh_Click();
    QCOMPARE(m_messages.shown.size(), 1);
    QVERIFY2(m_messages.shown[0].text.startsWith(WindowText::resetFailed(QString())),
             qPrintable(m_messages.shown[0].text));
    QCOMPARE(m_messages.shown[0].title, Title::error());
    QCOMPARE(m_messages.shown[0].style, MessageStyle::Exclamation);
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("missing"))));
}

void TestReminderReset::menuItemUsesPrimaryScreen()
{
    Form1 window(services(m_dir.path()));
    window.findChild<QAction *>(QStringLiteral("tscsh"))->trigger();
    const int rows = ReminderSlots::rowsPerLayer(ReminderReset::primaryScreenHeightTwips());
    QVERIFY(rows >= 1);
    QCOMPARE(readFile(path()), ReminderSlots::resetBytes(rows));
    expectDoneMessage();
}

QTEST_MAIN(TestReminderReset)
#include "tst_reminderreset.moc"
