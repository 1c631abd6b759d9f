// The reminder on a real X server, as a technician meets it: the build folder's Tarvelin, with a
// record due in the present minute, starts vexa; the popup "数据提示" stands at the bottom right
// of the screen; closing it frees its slot. CI runs the whole test suite under xvfb-run; without a
// display there is nothing to look at, and the test is skipped.
#include "profilefile.h"
#include "recordfile.h"
#include "reminderslots.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <xcb/xcb.h>

#include <cmath>
#include <memory>

namespace {
// The little of X11 the test needs beyond xdotool: closing a window the way a window manager's
// close button does, and reading what the window shows the desktop.
class X11
{
public:
    X11() : m_connection(xcb_connect(nullptr, nullptr)) {}
    ~X11() { xcb_disconnect(m_connection); }
    X11(const X11 &) = delete;
    X11 &operator=(const X11 &) = delete;

    bool ok() const { return !xcb_connection_has_error(m_connection); }

    QSize screenSize() const
    {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        return {screen->width_in_pixels, screen->height_in_pixels};
    }

    // WM_DELETE_WINDOW: the request a window manager sends when the close button is pressed.
    void close(xcb_window_t window)
    {
        xcb_client_message_event_t event = {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atom("WM_PROTOCOLS");
        event.data.data32[0] = atom("WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(m_connection, false, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char *>(&event));
        xcb_flush(m_connection);
    }

    // The window's place and size on the screen, in the screen's own pixels.
    QRect geometry(xcb_window_t window)
    {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        std::unique_ptr<xcb_get_geometry_reply_t, decltype(&free)> size(
            xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr),
            &free);
        std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&free)> place(
            xcb_translate_coordinates_reply(
                m_connection, xcb_translate_coordinates(m_connection, window, screen->root, 0, 0),
                nullptr),
            &free);
        if (!size || !place)
            return {};
        return {place->dst_x, place->dst_y, size->width, size->height};
    }

    // The sizes of the images in _NET_WM_ICON, the icon the taskbar and the switcher show.
    QList<int> iconSizes(xcb_window_t window)
    {
        std::unique_ptr<xcb_get_property_reply_t, decltype(&free)> reply(
            xcb_get_property_reply(m_connection,
                                   xcb_get_property(m_connection, false, window,
                                                    atom("_NET_WM_ICON"), XCB_ATOM_CARDINAL, 0,
                                                    1 << 20),
                                   nullptr),
            &free);
        QList<int> sizes;
        if (!reply)
            return sizes;
        const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
        const int count = xcb_get_property_value_length(reply.get()) / 4;
        for (int at = 0; at + 2 <= count;) {
            const quint32 width = data[at], height = data[at + 1];
            sizes << int(width);
            if (width != height)
                return {};
            at += 2 + int(width * height);
        }
        std::sort(sizes.begin(), sizes.end());
        return sizes;
    }

private:
    xcb_atom_t atom(const char *name)
    {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> reply(
            xcb_intern_atom_reply(
                m_connection, xcb_intern_atom(m_connection, false, uint16_t(strlen(name)), name),
                nullptr),
            &free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    xcb_connection_t *m_connection;
};

// The visible windows whose title matches the pattern, found as a user's script would.
QList<xcb_window_t> windowsNamed(const QString &pattern)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                   QStringLiteral("--name"), pattern});
    if (!xdotool.waitForFinished(10000))
        return {};
    QList<xcb_window_t> found;
    for (const QByteArray &line : xdotool.readAllStandardOutput().split('\n')) {
        if (!line.trimmed().isEmpty())
            found << xcb_window_t(line.trimmed().toULong());
    }
    return found;
}

QStringList record(const QString &due)
{
    return {QStringLiteral("三号楼基础"),
            QStringLiteral("C30"),
            QStringLiteral("P-01"),
            QStringLiteral("2026-11-08 08:30"),
            QStringLiteral("28"),
            due,
            QStringLiteral("标准养护"),
            QStringLiteral("12"),
            QStringLiteral("3"),
            QStringLiteral("加急"),
            QString()};
}

const QList<int> kIconSizes = {16, 32, 48, 64, 128, 256};
const QString kPopupTitle = QStringLiteral("数据提示");
} // namespace

class TestDesktopReminder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void dueRecordPopsUpAndClosingFreesItsSlot();
    void popupStandsBottomRightAtEveryScale_data();
    void popupStandsBottomRightAtEveryScale();

private:
    std::unique_ptr<QProcess> start(const QString &program, const QString &dataFolder,
                                    double scale = 1);
    std::unique_ptr<X11> m_x;
};

void TestDesktopReminder::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("no X display: run the tests under xvfb-run");
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty(),
             "xdotool is missing: tools/bootstrap.sh installs it");
    m_x = std::make_unique<X11>();
    QVERIFY2(m_x->ok(), "cannot connect to the X display");
    QVERIFY2(windowsNamed(kPopupTitle).isEmpty(), "a popup from elsewhere is on the display");
}

std::unique_ptr<QProcess> TestDesktopReminder::start(const QString &program,
                                                     const QString &dataFolder, double scale)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The test itself runs offscreen; the programs it starts go on the real display.
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
    env.insert(QStringLiteral("TARVELIN_DATA_DIR"), dataFolder);
    // The popup must wait for its close button, as it does for a technician.
    env.remove(QStringLiteral("VEXA_QUIT_AFTER_MS"));
    process->setProcessEnvironment(env);
    process->start(program, {});
    return process;
}

void TestDesktopReminder::dueRecordPopsUpAndClosingFreesItsSlot()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Due this minute, unless the first check (five seconds after start) might come too late.
    QDateTime now = QDateTime::currentDateTime();
    const QDateTime due = now.time().second() <= 40 ? now : now.addSecs(60);
    const QString dueText = due.toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    QVERIFY(RecordFile(dir.filePath(QStringLiteral("a.bz")))
                .writeTable({record(dueText), QStringList(11)})
                .ok);
    const QString ini = dir.filePath(QStringLiteral("vexa.ini"));

    const auto tarvelin = start(QStringLiteral(TARVELIN_PATH), dir.path());
    QVERIFY(tarvelin->waitForStarted());
    QList<xcb_window_t> main;
    QTRY_VERIFY_WITH_TIMEOUT(!(main = windowsNamed(QStringLiteral("^Tarvelin V2\\.2"))).isEmpty(),
                             20000);
    QCOMPARE(m_x->iconSizes(main.first()), kIconSizes);

    // No exchange file yet: the manager makes one when the record falls due, and vexa claims
    // the first slot of it.
    QList<xcb_window_t> popups;
    QTRY_VERIFY_WITH_TIMEOUT(!(popups = windowsNamed(kPopupTitle)).isEmpty(), 60000);
    QCOMPARE(popups.size(), 1);
    const QString slot = ReminderSlots::name(1, 1);
    QCOMPARE(ReadIniValue(slot, ReminderSlots::flagKey(), ini), QStringLiteral("1"));
    QCOMPARE(ReadIniValue(slot, QStringLiteral("到期时间"), ini), dueText);
    QCOMPARE(m_x->iconSizes(popups.first()), kIconSizes);
    // Row 1 of a screen without a taskbar: the popup's corner on the screen's corner.
    const QRect placed = m_x->geometry(popups.first());
    QCOMPARE(placed.right() + 1, m_x->screenSize().width());
    QCOMPARE(placed.bottom() + 1, m_x->screenSize().height());

    m_x->close(popups.first());
    QTRY_COMPARE_WITH_TIMEOUT(ReadIniValue(slot, ReminderSlots::flagKey(), ini),
                              QStringLiteral("0"), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(windowsNamed(kPopupTitle).isEmpty(), 10000);

    // Closing the main window ends Tarvelin.
    m_x->close(main.first());
    QVERIFY(tarvelin->waitForFinished(10000));
    QCOMPARE(tarvelin->exitStatus(), QProcess::NormalExit);
    QCOMPARE(tarvelin->exitCode(), 0);
}

void TestDesktopReminder::popupStandsBottomRightAtEveryScale_data()
{
    QTest::addColumn<double>("scale");
    QTest::newRow("100 %") << 1.0;
    QTest::newRow("150 %") << 1.5;
    QTest::newRow("200 %") << 2.0;
}

void TestDesktopReminder::popupStandsBottomRightAtEveryScale()
{
    QFETCH(double, scale);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("vexa.ini"));
    const ReminderSlots exchange(ini);
    QVERIFY(exchange.reset(2).ok);
    // Row 1 is held by an earlier popup, so this one stacks on row 2.
    QVERIFY(ProfileFile(ini)
                .write(ReminderSlots::name(1, 1), ReminderSlots::flagKey(), QStringLiteral("1"))
                .ok);

    const auto vexa = start(QStringLiteral(VEXA_PATH), dir.path(), scale);
    QList<xcb_window_t> popups;
    QTRY_VERIFY_WITH_TIMEOUT(!(popups = windowsNamed(kPopupTitle)).isEmpty(), 20000);
    QCOMPARE(popups.size(), 1);

    // 323 x 154 logical pixels, the screen's own pixels times the scale; within one pixel, as
    // 150 % gives half pixels.
    const QSize screen = m_x->screenSize();
    const QRect placed = m_x->geometry(popups.first());
    const auto near = [](int actual, double expected) {
        return std::abs(actual - expected) <= 1.0;
    };
    QVERIFY2(near(placed.width(), 323 * scale), qPrintable(QString::number(placed.width())));
    QVERIFY2(near(placed.height(), 154 * scale), qPrintable(QString::number(placed.height())));
    QVERIFY2(near(placed.x() + placed.width(), screen.width()),
             qPrintable(QString::number(placed.x())));
    QVERIFY2(near(placed.y(), screen.height() - 2 * 154 * scale),
             qPrintable(QString::number(placed.y())));

    m_x->close(popups.first());
    QVERIFY(vexa->waitForFinished(10000));
    QCOMPARE(vexa->exitCode(), 0);
    QCOMPARE(ReadIniValue(ReminderSlots::name(1, 2), ReminderSlots::flagKey(), ini),
             QStringLiteral("0"));
}

QTEST_GUILESS_MAIN(TestDesktopReminder)
#include "tst_desktopreminder.moc"
