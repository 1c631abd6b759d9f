// The programs on a technician's desktop: a display of its own (Xvfb, 1920 x 1080), the openbox
// window manager and a tint2 taskbar of 40 pixels with a notification area along the bottom.
// What is checked is what the window system holds, as the window manager and the taskbar read it:
// the popup's opacity after the fade, its states and allowed actions, its frame on the screen,
// and the main window's frame after a trip to the tray.
#include "profilefile.h"
#include "reminderslots.h"
#include "titles.h"
#include "x11client.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

namespace {
const QString kPopupTitle = QStringLiteral("数据提示");
const QString kMainTitle = QStringLiteral("Tarvelin V2.2");
// The work area's bottom edge: the screen less tint2's strut.
const int kWorkBottom = 1080 - 40;
// Under the sanitizers every step of the fade costs more than its 3 ms.
#ifdef TARVELIN_SANITIZED
const int kFadeDeadlineMs = 8000;
#else
const int kFadeDeadlineMs = 2000;
#endif

QPoint bottomRight(const QRect &r)
{
    return {r.x() + r.width(), r.y() + r.height()};
}
} // namespace

class TestDesktopSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void popupFramedLateStillStandsOnTheTaskbar();
    void popupOnTheDesktop_data();
    void popupOnTheDesktop();
    void burstOfPopupsClosedOneByOne();
    void mainWindowComesBackFromTheTrayWhereItStood();
    void modalWindowsOfferNoMinimise();
    void programsStartNothingAlongThePath();

private:
    std::unique_ptr<QProcess> start(const QString &program, const QStringList &arguments,
                                    const QString &dataFolder = {});
    std::unique_ptr<QProcess> startPopup(int row, const QString &ini);
    void closePopup(QProcess *vexa, xcb_window_t window, const QString &ini, int row);
    // A "dbus-launch" first on our programs' PATH, which notes each start here.
    QString launchedAlongThePath() const { return m_dir.filePath(QStringLiteral("launched.txt")); }
    // Where the main window's icon stands in the taskbar's notification area; null until it does.
    QRect trayIcon();

    QTemporaryDir m_dir;
    QByteArray m_display;
    std::unique_ptr<QProcess> m_xvfb;
    std::unique_ptr<QProcess> m_panel;
    std::unique_ptr<QProcess> m_windowManager;
    std::unique_ptr<X11> m_x;
};

void TestDesktopSession::initTestCase()
{
    for (const char *program : {"Xvfb", "openbox", "tint2", "xdotool"}) {
        QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty(),
                 qPrintable(QStringLiteral("%1 is missing: tools/bootstrap.sh installs it")
                                .arg(QString::fromLatin1(program))));
    }
    QVERIFY(m_dir.isValid());
    // A display of our own, whatever $DISPLAY is: the server prints its number when ready.
    m_xvfb = std::make_unique<QProcess>();
    m_xvfb->start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("1920x1080x24"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp")});
    QVERIFY(m_xvfb->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(m_xvfb->canReadLine(), 20000);
    m_display = ':' + m_xvfb->readLine().trimmed();
    m_x = std::make_unique<X11>(m_display);
    QVERIFY2(m_x->ok(), m_display.constData());
    QCOMPARE(m_x->screenSize(), QSize(1920, 1080));
    // The window manager and the taskbar come in the first test, after a popup is shown.
}

void TestDesktopSession::cleanupTestCase()
{
    for (auto *process : {m_windowManager.get(), m_panel.get(), m_xvfb.get()}) {
        if (process) {
            process->terminate();
            if (!process->waitForFinished(5000))
                process->kill();
        }
    }
}

std::unique_ptr<QProcess> TestDesktopSession::start(const QString &program,
                                                    const QStringList &arguments,
                                                    const QString &dataFolder)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_display));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("QT_SCALE_FACTOR"));
    // The popup must wait for its close button, as it does for a technician.
    env.remove(QStringLiteral("VEXA_QUIT_AFTER_MS"));
    if (!dataFolder.isEmpty())
        env.insert(QStringLiteral("TARVELIN_DATA_DIR"), dataFolder);
    // Our programs without a session bus, as on a lab PC's kiosk login: whatever they would run
    // by its name along the PATH comes first from a folder that notes it.
    if (program == QLatin1String(VEXA_PATH) || program == QLatin1String(TARVELIN_PATH) ||
        program == QLatin1String(MODALWINDOWS_PATH)) {
        const QString bin = m_dir.filePath(QStringLiteral("bin"));
        QDir().mkpath(bin);
        QFile script(bin + QStringLiteral("/dbus-launch"));
        if (!script.exists() && script.open(QIODevice::WriteOnly)) {
            script.write("#!/bin/sh\necho \"$0 $*\" >> '" +
                         QFile::encodeName(launchedAlongThePath()) + "'\nexit 1\n");
            script.close();
            script.setPermissions(script.permissions() | QFile::ExeOwner);
        }
        env.insert(QStringLiteral("PATH"), bin + u':' + env.value(QStringLiteral("PATH")));
        env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    }
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(program, arguments);
    return process;
}

std::unique_ptr<QProcess> TestDesktopSession::startPopup(int row, const QString &ini)
{
    // Slots of the rows below are held by earlier popups, so this one takes the row asked for.
    if (!ReminderSlots(ini).reset(4).ok)
        return {};
    for (int below = 1; below < row; ++below) {
        if (!ProfileFile(ini)
                 .write(ReminderSlots::name(1, below), ReminderSlots::flagKey(),
                        QStringLiteral("1"))
                 .ok)
            return {};
    }
    return start(QStringLiteral(VEXA_PATH), {}, QFileInfo(ini).absolutePath());
}

void TestDesktopSession::closePopup(QProcess *vexa, xcb_window_t window, const QString &ini,
                                    int row)
{
    m_x->close(window);
    QVERIFY(vexa->waitForFinished(10000));
    QCOMPARE(vexa->exitCode(), 0);
    QCOMPARE(ReadIniValue(ReminderSlots::name(1, row), ReminderSlots::flagKey(), ini),
             QStringLiteral("0"));
}

QRect TestDesktopSession::trayIcon()
{
    // Qt's icon window carries the program's name; so does its hidden leader window, which is
    // not in the taskbar.
    for (const xcb_window_t window : m_x->windowsNamed(QStringLiteral("Tarvelin"))) {
        const QRect place = m_x->geometry(window);
        if (place.top() >= kWorkBottom && place.width() > 1)
            return place;
    }
    return {};
}

void TestDesktopSession::popupFramedLateStillStandsOnTheTaskbar()
{
    // Shown before the session is up, the popup is placed as an unframed window on a work area
    // that is the whole screen. The window manager then frames it, and the taskbar then reserves
    // its strut: the popup must stand on the screen's edge by its frame, then on the taskbar.
    const QString ini = m_dir.filePath(QStringLiteral("late/vexa.ini"));
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("late")));
    const auto vexa = startPopup(1, ini);
    QVERIFY(vexa && vexa->waitForStarted());
    QList<xcb_window_t> popups;
    QTRY_VERIFY_WITH_TIMEOUT(!(popups = m_x->windowsNamed(kPopupTitle)).isEmpty(), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(bottomRight(m_x->geometry(popups.first())), QPoint(1920, 1080),
                              10000);

    m_windowManager = start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    QTRY_COMPARE_WITH_TIMEOUT(m_x->clientsNamed(kPopupTitle).size(), 1, 20000);
    const xcb_window_t popup = m_x->clientsNamed(kPopupTitle).first();
    QTRY_COMPARE_WITH_TIMEOUT(bottomRight(m_x->frame(popup)), QPoint(1920, 1080), 20000);

    m_panel = start(QStringLiteral("tint2"), {QStringLiteral("-c"), QFINDTESTDATA("tint2rc")});
    QTRY_COMPARE_WITH_TIMEOUT(m_x->cardinals(m_x->root(), "_NET_WORKAREA").value(3),
                              quint32(kWorkBottom), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(bottomRight(m_x->frame(popup)), QPoint(1920, kWorkBottom), 20000);
    closePopup(vexa.get(), popup, ini, 1);
}

void TestDesktopSession::popupOnTheDesktop_data()
{
    QTest::addColumn<int>("row");
    QTest::newRow("row 1") << 1;
    QTest::newRow("row 3") << 3;
}

void TestDesktopSession::popupOnTheDesktop()
{
    QFETCH(int, row);
    QVERIFY2(m_panel, "the desktop starts in the test before");
    const QString folder = QStringLiteral("row%1").arg(row);
    QVERIFY(QDir(m_dir.path()).mkpath(folder));
    const QString ini = m_dir.filePath(folder + QStringLiteral("/vexa.ini"));
    const auto vexa = startPopup(row, ini);
    QVERIFY(vexa && vexa->waitForStarted());
    QList<xcb_window_t> popups;
    QTRY_VERIFY_WITH_TIMEOUT(!(popups = m_x->clientsNamed(kPopupTitle)).isEmpty(), 20000);
    const xcb_window_t popup = popups.first();

    // The fade reaches the X server by itself, without a mouse move or any other input, and
    // ends at 254/255.
    QTRY_COMPARE_WITH_TIMEOUT(m_x->cardinals(popup, "_NET_WM_WINDOW_OPACITY"),
                              QList<quint32>{0xFEFEFEFEu}, kFadeDeadlineMs);

    const QStringList states = m_x->atoms(popup, "_NET_WM_STATE");
    QVERIFY2(states.contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")),
             qPrintable(states.join(u' ')));
    QVERIFY2(states.contains(QStringLiteral("_NET_WM_STATE_ABOVE")), qPrintable(states.join(u' ')));
    // What openbox lets the user do with the window: close it, but neither minimise it out of
    // sight nor maximise it.
    const QStringList actions = m_x->atoms(popup, "_NET_WM_ALLOWED_ACTIONS");
    QVERIFY2(actions.contains(QStringLiteral("_NET_WM_ACTION_CLOSE")),
             qPrintable(actions.join(u' ')));
    for (const char *refused : {"_NET_WM_ACTION_MINIMIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ",
                                "_NET_WM_ACTION_MAXIMIZE_VERT", "_NET_WM_ACTION_RESIZE"}) {
        QVERIFY2(!actions.contains(QLatin1String(refused)), refused);
    }

    // The frame's bottom right corner on the taskbar's top edge for row 1, one frame height
    // higher for every further row.
    QTRY_VERIFY_WITH_TIMEOUT(!m_x->frame(popup).isNull(), 10000);
    const int frameHeight = m_x->frame(popup).height();
    QTRY_COMPARE_WITH_TIMEOUT(bottomRight(m_x->frame(popup)),
                              QPoint(1920, kWorkBottom - (row - 1) * frameHeight), 10000);
    closePopup(vexa.get(), popup, ini, row);
}

void TestDesktopSession::burstOfPopupsClosedOneByOne()
{
    // Every slot of a screen's column filled at once, then each popup's close button pressed
    // 0.2 s after the one before, as a technician clears a burst: every close is honoured, each
    // popup and its slot gone. TARVELIN_POPUP_ROUNDS sets the rounds (three by default).
    QVERIFY2(m_panel, "the desktop starts in the test before");
    const int rounds = qEnvironmentVariableIntValue("TARVELIN_POPUP_ROUNDS") > 0
                           ? qEnvironmentVariableIntValue("TARVELIN_POPUP_ROUNDS")
                           : 3;
    constexpr int kPopups = 25;
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("burst")));
    const QString ini = m_dir.filePath(QStringLiteral("burst/vexa.ini"));
    for (int round = 1; round <= rounds; ++round) {
        // A 1080-pixel screen's slots: five rows in each of the five layers.
        QVERIFY(ReminderSlots(ini).reset(kPopups / ReminderSlots::Layers).ok);
        std::vector<std::unique_ptr<QProcess>> popups;
        for (int i = 0; i < kPopups; ++i)
            popups.push_back(start(QStringLiteral(VEXA_PATH), {}, QFileInfo(ini).absolutePath()));
        QList<xcb_window_t> windows;
        QTRY_COMPARE_WITH_TIMEOUT((windows = m_x->clientsNamed(kPopupTitle)).size(), kPopups,
                                  60000);
        for (const xcb_window_t window : std::as_const(windows)) {
            m_x->close(window);
            QTest::qWait(200);
        }
        // Two seconds after the last close at the most: every popup has ended and freed its slot.
        QTRY_VERIFY_WITH_TIMEOUT(m_x->clientsNamed(kPopupTitle).isEmpty(), 2000);
        for (const auto &vexa : popups) {
            QTRY_COMPARE_WITH_TIMEOUT(vexa->state(), QProcess::NotRunning, 2000);
            QCOMPARE(vexa->exitCode(), 0);
        }
        for (int layer = 1; layer <= ReminderSlots::Layers; ++layer) {
            for (int row = 1; row <= kPopups / ReminderSlots::Layers; ++row) {
                QCOMPARE(
                    ReadIniValue(ReminderSlots::name(layer, row), ReminderSlots::flagKey(), ini),
                    QStringLiteral("0"));
            }
        }
    }
}

void TestDesktopSession::mainWindowComesBackFromTheTrayWhereItStood()
{
    QVERIFY2(m_panel, "the desktop starts in the first test");
    const QString folder = m_dir.filePath(QStringLiteral("main"));
    QVERIFY(QDir().mkpath(folder));
    const auto tarvelin = start(QStringLiteral(TARVELIN_PATH), {}, folder);
    QVERIFY(tarvelin->waitForStarted());
    QList<xcb_window_t> windows;
    QTRY_VERIFY_WITH_TIMEOUT(!(windows = m_x->clientsNamed(kMainTitle)).isEmpty(), 20000);
    const xcb_window_t window = windows.first();
    QTRY_VERIFY_WITH_TIMEOUT(!m_x->frame(window).isNull(), 10000);

    // Where the technician dragged it.
    m_x->moveFrame(window, QPoint(300, 400));
    QTRY_COMPARE_WITH_TIMEOUT(m_x->frame(window).topLeft(), QPoint(300, 400), 10000);
    const QRect stood = m_x->frame(window);

    // Minimised, it leaves the screen and the taskbar for the notification area...
    QRect icon;
    QTRY_VERIFY_WITH_TIMEOUT(!(icon = trayIcon()).isNull(), 20000);
    m_x->minimise(window);
    QTRY_VERIFY_WITH_TIMEOUT(m_x->clientsNamed(kMainTitle).isEmpty(), 10000);

    // ...and a click on its icon there brings it back where it stood, at its size.
    QProcess click;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_display));
    click.setProcessEnvironment(env);
    click.start(QStringLiteral("xdotool"),
                {QStringLiteral("mousemove"), QString::number(icon.center().x()),
                 QString::number(icon.center().y()), QStringLiteral("click"), QStringLiteral("1")});
    QVERIFY(click.waitForFinished(10000));
    QCOMPARE(click.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(m_x->clientsNamed(kMainTitle).size(), 1, 10000);
    const xcb_window_t back = m_x->clientsNamed(kMainTitle).first();
    QTRY_COMPARE_WITH_TIMEOUT(m_x->frame(back), stood, 10000);

    m_x->close(back);
    QVERIFY(tarvelin->waitForFinished(10000));
    QCOMPARE(tarvelin->exitCode(), 0);
}

void TestDesktopSession::modalWindowsOfferNoMinimise()
{
    // Minimised, a modal window would take its owner to the tray, and nothing would bring the
    // modal window back.
    QVERIFY2(m_panel, "the desktop starts in the first test");
    const auto windows = start(QStringLiteral(MODALWINDOWS_PATH), {});
    QVERIFY(windows->waitForStarted());
    for (const QString &title :
         {QStringLiteral("增添提醒数据"), QStringLiteral("查找提示信息"), QStringLiteral("设置"),
          Title::notice(), QStringLiteral("试验人")}) {
        QList<xcb_window_t> found;
        QTRY_VERIFY_WITH_TIMEOUT(!(found = m_x->clientsNamed(title)).isEmpty(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(m_x->atoms(found.first(), "_NET_WM_ALLOWED_ACTIONS")
                                     .contains(QStringLiteral("_NET_WM_ACTION_CLOSE")),
                                 10000);
        const QStringList actions = m_x->atoms(found.first(), "_NET_WM_ALLOWED_ACTIONS");
        QVERIFY2(!actions.contains(QStringLiteral("_NET_WM_ACTION_MINIMIZE")),
                 qPrintable(title + QLatin1Char(' ') + actions.join(u' ')));
    }
    windows->kill();
    QVERIFY(windows->waitForFinished(10000));
}

void TestDesktopSession::programsStartNothingAlongThePath()
{
    // After every test above started vexa, Tarvelin and the modal windows: none of them ran a
    // program found by its name along the PATH.
    QFile launched(launchedAlongThePath());
    QVERIFY2(!launched.exists() || (launched.open(QIODevice::ReadOnly), launched.size() == 0),
             launched.readAll().constData());
}

QTEST_GUILESS_MAIN(TestDesktopSession)
#include "tst_desktopsession.moc"
