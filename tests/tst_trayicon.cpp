#include "fakes.h"
#include "form1.h"
#include "trayicon.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

class TestTrayIcon : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void iconCarriesTipAndWindowIcon();
    void activationRestoresOrPopsUpMenu_data();
    void activationRestoresOrPopsUpMenu();
    void minimiseHidesOnlyWithTray_data();
    void minimiseHidesOnlyWithTray();
    void mouseMoveOverWindowDoesNothing();
    void exitRemovesIcon();

private:
    Form1 *start(bool trayAvailable);

    QTemporaryDir *m_dir = nullptr;
    FakeClock m_clock{QDateTime(QDate(2026, 12, 6), QTime(9, 0))};
    RecordingMessages m_messages;
    Form1 *m_window = nullptr;
};

void TestTrayIcon::init()
{
    m_dir = new QTemporaryDir;
    m_messages.shown.clear();
}

void TestTrayIcon::cleanup()
{
    delete m_window;
    m_window = nullptr;
    delete m_dir;
}

Form1 *TestTrayIcon::start(bool trayAvailable)
{
    ManagerServices services{m_dir->path(), &m_clock, &m_messages, {}};
    m_window = new Form1(services);
    m_window->trayIcon()->setTrayAvailableCheck([trayAvailable] { return trayAvailable; });
    m_window->Form_Load();
    return m_window;
}

void TestTrayIcon::iconCarriesTipAndWindowIcon()
{
    Form1 *w = start(true);
    QSystemTrayIcon *icon = w->trayIcon()->icon();
    QVERIFY(icon->isVisible());
    // The program's name, then the day at a glance.
    QCOMPARE(icon->toolTip().section(u'\n', 0, 0), QStringLiteral("Tarvelin"));
    QVERIFY(!icon->icon().isNull());

    // Once the window has an icon of its own, the tray shows that one.
    QPixmap own(16, 16);
    own.fill(Qt::red);
    w->setWindowIcon(QIcon(own));
    QCOMPARE(TrayIcon::iconFor(w).pixmap(16, 16).toImage(), own.toImage());
}

void TestTrayIcon::activationRestoresOrPopsUpMenu_data()
{
    QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
    QTest::addColumn<bool>("restored");
    QTest::addColumn<bool>("menuShown");
    QTest::newRow("click") << QSystemTrayIcon::Trigger << true << false;
    QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << true << false;
    QTest::newRow("context click") << QSystemTrayIcon::Context << false << true;
    QTest::newRow("middle click") << QSystemTrayIcon::MiddleClick << false << false;
    QTest::newRow("unknown") << QSystemTrayIcon::Unknown << false << false;
}

void TestTrayIcon::activationRestoresOrPopsUpMenu()
{
    QFETCH(QSystemTrayIcon::ActivationReason, reason);
    QFETCH(bool, restored);
    QFETCH(bool, menuShown);
    Form1 *w = start(true);
    w->showMinimized();
    QTRY_VERIFY(!w->isVisible());

    emit w->trayIcon()->icon()->activated(reason);
    QCoreApplication::processEvents();
    QMenu *menu = w->findChild<QMenu *>(QStringLiteral("menu"));
    QCOMPARE(w->isVisible(), restored);
    QCOMPARE(menu->isVisible(), menuShown);
    if (restored)
        QVERIFY(!w->isMinimized());
    if (menuShown) {
        // The popup is the window's own menu: "初始化", a separator, "退出".
        QCOMPARE(menu->actions().last(), w->findChild<QAction *>(QStringLiteral("end")));
        menu->hide();
    }
}

void TestTrayIcon::minimiseHidesOnlyWithTray_data()
{
    QTest::addColumn<bool>("trayAvailable");
    QTest::newRow("tray") << true;
    QTest::newRow("no tray") << false;
}

void TestTrayIcon::minimiseHidesOnlyWithTray()
{
    QFETCH(bool, trayAvailable);
    Form1 *w = start(trayAvailable);
    w->showMinimized();
    QCoreApplication::processEvents();
    if (trayAvailable) {
        QTRY_VERIFY(!w->isVisible());
    } else {
        // Without a tray the window could never come back: it stays on the taskbar.
        QVERIFY(w->isVisible());
        QVERIFY(w->isMinimized());
    }
    // Restoring the window is not undone by the hide.
    emit w->trayIcon()->icon()->activated(QSystemTrayIcon::Trigger);
    QCoreApplication::processEvents();
    QVERIFY(w->isVisible());
    QVERIFY(!w->isMinimized());
}

void TestTrayIcon::mouseMoveOverWindowDoesNothing()
{
    Form1 *w = start(true);
    // 514 and 517 were the icon's button messages on the old platform.
    for (int x : {514, 515, 517})
        QTest::mouseMove(w, QPoint(x, 200));
    QCoreApplication::processEvents();
    QVERIFY(!w->findChild<QMenu *>(QStringLiteral("menu"))->isVisible());
    QVERIFY(w->isVisible());
    QVERIFY(!w->isMinimized());
}

void TestTrayIcon::exitRemovesIcon()
{
    Form1 *w = start(true);
    QVERIFY(w->trayIcon()->icon()->isVisible());
    w->findChild<QAction *>(QStringLiteral("end"))->trigger();
    QVERIFY(!w->trayIcon()->icon()->isVisible());
    QVERIFY(!w->isVisible());
}

QTEST_MAIN(TestTrayIcon)
#include "tst_trayicon.moc"
