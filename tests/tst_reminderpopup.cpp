#include "exchangetexts.h"
#include "fakes.h"
#include "reminderpopup.h"
#include "reminderslots.h"
#include "testfiles.h"
#include "titles.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

QStringList listLines(const QListWidget *list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}
} // namespace

class TestReminderPopup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void window();
    void listsClaimedRecord();
    void freshSlotShowsZeros();
    void longLineShowsWholeOnHover();
    void stacksByRow_data();
    void stacksByRow();
    void fadesToJustBelowOpaque();
    void closeFreesSlotOnce();
    void noFreeSlotTellsAndKeepsFile_data();
    void noFreeSlotTellsAndKeepsFile();

private:
    QString path() const { return m_dir.filePath(QStringLiteral("vexa.ini")); }
    QString flag(const QString &slot) const
    {
        return ReadIniValue(slot, QStringLiteral("是否显示"), path());
    }
    QTemporaryDir m_dir;
    RecordingMessages m_messages;
};

void TestReminderPopup::init()
{
    QVERIFY(m_dir.isValid());
    QFile::remove(path());
    m_messages.shown.clear();
}

void TestReminderPopup::window()
{
    QVERIFY(ReminderSlots(path()).reset(1).ok);
    ReminderPopup popup(path(), &m_messages);
    QVERIFY(popup.Form_Load());
    QCOMPARE(popup.objectName(), QStringLiteral("Form1"));
    QCOMPARE(popup.windowTitle(), QStringLiteral("数据提示"));
    const Qt::WindowFlags flags = popup.windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(popup.size(), QSize(323, 154));
    QCOMPARE(popup.minimumSize(), popup.maximumSize());
    auto *list = popup.findChild<QListWidget *>(QStringLiteral("List1"));
    QVERIFY(list);
    QCOMPARE(list->geometry(), QRect(0, 0, 321, 172));
    QVERIFY(popup.timer1()->isActive());
    QCOMPARE(popup.timer1()->interval(), 3);
}

void TestReminderPopup::listsClaimedRecord()
{
    const ReminderSlots exchange(path());
    QVERIFY(exchange.reset(2).ok);
    QCOMPARE(exchange.fillFirstFree(sample().slotValues()).slot, QStringLiteral("1|1"));

    ReminderPopup popup(path(), &m_messages);
    QVERIFY(popup.Form_Load());
    QCOMPARE(popup.slotName(), QStringLiteral("1|1"));
    QCOMPARE(flag(QStringLiteral("1|1")), QStringLiteral("1"));
    QCOMPARE(listLines(popup.list1()),
             (QStringList{"编号:3", "强度等级:C30", "工程部位:三号楼基础", "配合比编号:P-01",
                          "制作日期:2026-12-1 08:30", "龄期:28", "养护方式:标准养护",
                          "到期时间:2026-12-29 08:30", "工程量:12", "组数:3", "备注:"}));
    QVERIFY(m_messages.shown.isEmpty());
    // The list runs past the window's bottom edge: every line must still be in sight.
    const QRect last = popup.list1()->visualItemRect(popup.list1()->item(10));
    QVERIFY(popup.list1()->viewport()->mapTo(&popup, last.bottomLeft()).y() < popup.height());

    // A second popup takes the next free slot.
    ReminderPopup second(path(), &m_messages);
    QVERIFY(second.Form_Load());
    QCOMPARE(second.slotName(), QStringLiteral("1|2"));
}

void TestReminderPopup::freshSlotShowsZeros()
{
    QVERIFY(ReminderSlots(path()).reset(1).ok);
    ReminderPopup popup(path(), &m_messages);
    QVERIFY(popup.Form_Load());
    const QStringList lines = listLines(popup.list1());
    QCOMPARE(lines.size(), 11);
    QCOMPARE(lines.first(), QStringLiteral("编号:0"));
    for (const QString &line : lines)
        QVERIFY2(line.endsWith(QStringLiteral(":0")), qPrintable(line));
}

void TestReminderPopup::longLineShowsWholeOnHover()
{
    const ReminderSlots exchange(path());
    QVERIFY(exchange.reset(1).ok);
    const QString remark =
        QStringLiteral("加急，复检后送抗渗试验，结果当天报给项目部资料员和监理单位，"
                       "并抄送搅拌站技术负责人，试块编号以送检单为准");
    QCOMPARE(
        exchange.fillFirstFree(sample().with(SpecimenRecord::Remark, remark).slotValues()).slot,
        QStringLiteral("1|1"));
    ReminderPopup popup(path(), &m_messages);
    QVERIFY(popup.Form_Load());
    QVERIFY(popup.testAttribute(Qt::WA_AlwaysShowToolTips));
    QCOMPARE(popup.size(), QSize(323, 154));
    const QListWidgetItem *last = popup.list1()->item(10);
    QCOMPARE(last->text(), QStringLiteral("备注:") + remark);
    QCOMPARE(last->toolTip(), last->text());
    QCOMPARE(popup.list1()->item(2)->toolTip(), QString()); // 工程部位 fits
}

void TestReminderPopup::stacksByRow_data()
{
    QTest::addColumn<QStringList>("held");
    QTest::addColumn<int>("row");

    QTest::newRow("row 1") << QStringList() << 1;
    QTest::newRow("row 3") << QStringList{"1|1", "1|2"} << 3;
    QTest::newRow("row 1 of layer 2") << QStringList{"1|1", "1|2", "1|3"} << 1;
}

void TestReminderPopup::stacksByRow()
{
    QFETCH(QStringList, held);
    QFETCH(int, row);
    const ReminderSlots exchange(path());
    QVERIFY(exchange.reset(3).ok);
    for (const QString &slot : held)
        QVERIFY(
            ProfileFile(path()).write(slot, QStringLiteral("是否显示"), QStringLiteral("1")).ok);

    ReminderPopup popup(path(), &m_messages);
    QVERIFY(popup.Form_Load());
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    const QSize outer = popup.frameGeometry().size();
    QCOMPARE(popup.frameGeometry().right(), screen->geometry().right());
    QCOMPARE(popup.frameGeometry().bottom() + 1,
             area.y() + area.height() - (row - 1) * outer.height());
}

void TestReminderPopup::fadesToJustBelowOpaque()
{
    QVERIFY(ReminderSlots(path()).reset(1).ok);
    ReminderPopup popup(path(), &m_messages);
    QVERIFY(popup.Form_Load());
    popup.Timer1_Timer();
    QCOMPARE(popup.opacity(), 2);
    QCOMPARE(qRound(popup.windowOpacity() * 255), 2);
    for (int tick = 2; tick <= 127; ++tick)
        popup.Timer1_Timer();
    QCOMPARE(popup.opacity(), 254);
    QCOMPARE(qRound(popup.windowOpacity() * 255), 254);
    QVERIFY(popup.timer1()->isActive());

    popup.Timer1_Timer(); // 256 is out of range and changes nothing
    QCOMPARE(popup.opacity(), 256);
    QCOMPARE(qRound(popup.windowOpacity() * 255), 254);
    QVERIFY(popup.timer1()->isActive());
    popup.Timer1_Timer();
    QVERIFY(!popup.timer1()->isActive());
    QVERIFY(popup.windowOpacity() < 1.0);
}

void TestReminderPopup::closeFreesSlotOnce()
{
    const ReminderSlots exchange(path());
    QVERIFY(exchange.reset(1).ok);
    QCOMPARE(exchange.fillFirstFree(sample().slotValues()).slot, QStringLiteral("1|1"));
    const QByteArray before = readFile(path());

    ReminderPopup popup(path(), &m_messages);
    QVERIFY(popup.Form_Load());
    QSignalSpy closed(&popup, &ReminderPopup::closed);
    popup.show();
    QVERIFY(popup.close());
    QCOMPARE(closed.count(), 1);
    // Only the flag went back; the record stays in the slot.
    QCOMPARE(readFile(path()), before);

    // The end of the program does not free the slot a second time, after another popup took it.
    ReminderPopup next(path(), &m_messages);
    QVERIFY(next.Form_Load());
    QCOMPARE(next.slotName(), QStringLiteral("1|1"));
    QVERIFY(popup.releaseSlot().ok);
    QCOMPARE(flag(QStringLiteral("1|1")), QStringLiteral("1"));
    QVERIFY(m_messages.shown.isEmpty());
}

void TestReminderPopup::noFreeSlotTellsAndKeepsFile_data()
{
    QTest::addColumn<QByteArray>("file"); // empty: no file

    QByteArray allHeld = ReminderSlots::resetBytes(1);
    allHeld.replace(gbk(QStringLiteral("是否显示=0")), gbk(QStringLiteral("是否显示=1")));
    QTest::newRow("every slot held") << allHeld;
    QTest::newRow("no file") << QByteArray();
    QTest::newRow("no slot names") << gbk(QStringLiteral("[提示]\r\n是否显示=0\r\n"));
    QTest::newRow("unreadable flags") << gbk(QStringLiteral("[1|1]\r\n是否显示=\r\n[1|2]\r\n"));
}

void TestReminderPopup::noFreeSlotTellsAndKeepsFile()
{
    QFETCH(QByteArray, file);
    if (!file.isEmpty())
        writeFile(path(), file);
    ReminderPopup popup(path(), &m_messages);
    QVERIFY(!popup.Form_Load());
    QCOMPARE(popup.slotName(), QString());
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.shown[0].text, ExchangeText::popupFailed());
    QCOMPARE(m_messages.shown[0].title, Title::popupError());
    QCOMPARE(m_messages.shown[0].style, MessageStyle::Plain);
    QVERIFY(!popup.timer1()->isActive());
    QCOMPARE(QFileInfo::exists(path()), !file.isEmpty());
    QCOMPARE(readFile(path()), file);

    // A window that never held a slot writes nothing when it goes.
    popup.close();
    QCOMPARE(QFileInfo::exists(path()), !file.isEmpty());
    QCOMPARE(readFile(path()), file);
}

QTEST_MAIN(TestReminderPopup)
#include "tst_reminderpopup.moc"
