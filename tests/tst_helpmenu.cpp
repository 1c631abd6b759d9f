#include "fakes.h"
#include "form1.h"
#include "helpmenu.h"
#include "titles.h"
#include "windowtexts.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

class TestHelpMenu : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void aboutText();
    void donateText();
    void menuItemsShowTheirTexts();
    void feedbackFailureIsReported();

private:
    RecordingMessages m_messages;
};

void TestHelpMenu::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tarvelin"));
}

void TestHelpMenu::init()
{
    m_messages.shown.clear();
}

void TestHelpMenu::aboutText()
{
    const QStringList lines = WindowText::about().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 9);
    QCOMPARE(lines[0], QStringLiteral("软件名称：Tarvelin   版本号：2.2"));
    QCOMPARE(lines[1], QString());
    QCOMPARE(lines[2], QStringLiteral("-------------- 更新信息 --------------"));
    QCOMPARE(lines[3], QStringLiteral("1：修复了软件存数Bug"));
    QCOMPARE(lines[4], QStringLiteral("2：增加了托盘显示"));
    QCOMPARE(lines[5], QStringLiteral("3：增加了开机自启动"));
    QCOMPARE(lines[6], QStringLiteral("4：修改了提示样式"));
    QCOMPARE(lines[7], QString());
    QVERIFY(lines[8].contains(QStringLiteral("Tarvelin")));
    QVERIFY(lines[8].endsWith(QStringLiteral("400-820-2026")));
    // No bare line feeds: every break is CR LF.
    QCOMPARE(WindowText::about().count(QLatin1Char('\n')), 8);
    QCOMPARE(WindowText::about().count(QLatin1Char('\r')), 8);
}

void TestHelpMenu::donateText()
{
    const QString text = WindowText::donation();
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 6);
    QCOMPARE(text.count(QLatin1Char('\n')), 5);
    for (const QString &line : lines)
        QVERIFY(!line.isEmpty());
    QVERIFY(lines[4].startsWith(QStringLiteral("联系方式")));
    QVERIFY(lines[4].contains(QStringLiteral("400-820-2026")));
    QVERIFY(lines[5].contains(QStringLiteral("谢谢")));
}

void TestHelpMenu::menuItemsShowTheirTexts()
{
    QTemporaryDir dir;
    FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(8, 0)));
    ManagerServices services{dir.path(), &clock, &m_messages, {}};
    Form1 window(services);

    const QList<QAction *> items = window.findChild<QMenu *>(QStringLiteral("bz"))->actions();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0]->objectName(), QStringLiteral("jz"));
    QCOMPARE(items[1]->objectName(), QStringLiteral("gy"));

    window.findChild<QAction *>(QStringLiteral("gy"))->trigger();
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.lastText(), WindowText::about());
    QCOMPARE(m_messages.shown.last().title, Title::about());
    QCOMPARE(m_messages.shown.last().style, MessageStyle::Information);

    window.findChild<QAction *>(QStringLiteral("jz"))->trigger();
    QCOMPARE(m_messages.shown.size(), 2);
    QCOMPARE(m_messages.lastText(), WindowText::donation());
    QCOMPARE(m_messages.shown.last().title, QStringLiteral("Tarvelin"));
    QCOMPARE(m_messages.shown.last().style, MessageStyle::Plain);

    // "提供建议/升级" goes to the window's help menu object, which opens the page.
    HelpMenu *help = window.findChild<HelpMenu *>();
    QVERIFY(help);
    QList<QUrl> opened;
    help->setUrlOpener([&opened](const QUrl &url) {
        opened << url;
        return true;
    });
    window.findChild<QAction *>(QStringLiteral("sj"))->trigger();
    QCOMPARE(opened, QList<QUrl>{HelpMenu::feedbackPage()});
    QCOMPARE(opened.first().scheme(), QStringLiteral("https"));
    QCOMPARE(m_messages.shown.size(), 2);
}

void TestHelpMenu::feedbackFailureIsReported()
{
    HelpMenu help(&m_messages);
    help.setUrlOpener([](const QUrl &) { return false; });
    help.sj_Click();
    QCOMPARE(m_messages.shown.size(), 1);
    QVERIFY(m_messages.lastText().contains(HelpMenu::feedbackPage().toString()));
    QCOMPARE(m_messages.shown.last().style, MessageStyle::Exclamation);
}

QTEST_MAIN(TestHelpMenu)
#include "tst_helpmenu.moc"
