#include "windowsystem.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#if defined(TARVELIN_HAVE_XCB) && QT_CONFIG(xcb)
#define TARVELIN_X11 1
#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace WindowSystem {

#ifdef TARVELIN_X11
namespace {
xcb_connection_t *x11Connection()
{
    const auto *x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection,
                              xcb_intern_atom(connection, false, uint16_t(std::strlen(name)), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// A toolbar: the one type every EWMH window manager (openbox among them) keeps from being
// minimised or maximised. The motif hints Qt sets for the buttons leave the functions on, and
// openbox lets a dialog be minimised, taking its owner with it.
void makeUnminimisable(xcb_connection_t *connection, xcb_window_t id)
{
    const xcb_atom_t type = atom(connection, "_NET_WM_WINDOW_TYPE_TOOLBAR");
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id,
                        atom(connection, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &type);
}
} // namespace
#endif

void prepareModalWindow(QWidget *window)
{
#ifdef TARVELIN_X11
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return;
    makeUnminimisable(connection, xcb_window_t(window->winId()));
    xcb_flush(connection);
#else
    Q_UNUSED(window);
#endif
}

void prepareReminderWindow(QWidget *window)
{
#ifdef TARVELIN_X11
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return;
    const auto id = xcb_window_t(window->winId());
    makeUnminimisable(connection, id);
    // Qt merges its own states (above) into these when it maps the window.
    const std::array<xcb_atom_t, 2> states = {atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                              atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, atom(connection, "_NET_WM_STATE"),
                        XCB_ATOM_ATOM, 32, uint32_t(states.size()), states.data());
    xcb_flush(connection);
#else
    Q_UNUSED(window);
#endif
}

QMargins frameMargins(const QWidget *window)
{
    const QRect inner = window->geometry();
    const QRect outer = window->frameGeometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    // The offscreen platform draws no frame at all.
    if (!frame.isNull() || QGuiApplication::platformName() == QLatin1String("offscreen"))
        return frame;
    const int border = window->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    return {border, window->style()->pixelMetric(QStyle::PM_TitleBarHeight) + border, border,
            border};
}

namespace {
QRect workArea(const QWidget *window, const QScreen *screen)
{
    if (!screen)
        screen = window->parentWidget() ? window->parentWidget()->screen() : window->screen();
    return screen->availableGeometry();
}
} // namespace

QSize roomOnWorkArea(const QWidget *window, const QScreen *screen)
{
    return workArea(window, screen).marginsRemoved(frameMargins(window)).size();
}

void placeOnWorkArea(QWidget *window, const QScreen *screen, Qt::Alignment where, int inset)
{
    const QRect area = workArea(window, screen);
    const QMargins frame = frameMargins(window);
    window->resize(window->size().boundedTo(area.marginsRemoved(frame).size()));
    if (!where && !window->isVisible())
        return;
    const QSize outer = window->size().grownBy(frame);
    const QPoint was = window->frameGeometry().topLeft();
    QPoint place = was;
    const QPoint aligned = QStyle::alignedRect(Qt::LeftToRight, where, outer,
                                               area.marginsRemoved({inset, inset, inset, inset}))
                               .topLeft();
    if (where & Qt::AlignHorizontal_Mask)
        place.setX(aligned.x());
    if (where & Qt::AlignVertical_Mask)
        place.setY(aligned.y());
    // A window larger than the work area even so (its least size) keeps its top left on it.
    place.setX(qMax(area.left(), qMin(place.x(), area.right() + 1 - outer.width())));
    place.setY(qMax(area.top(), qMin(place.y(), area.bottom() + 1 - outer.height())));
    if (place != was)
        window->move(place);
}

void keepOnWorkArea(QWidget *window)
{
    placeOnWorkArea(window);
    // Placed after the window's own handling of its showing, where Qt puts a dialog over its
    // owner, and before the window manager frames it.
    class Keeper : public QObject
    {
    public:
        using QObject::QObject;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() != QEvent::Show || m_showing)
                return false;
            m_showing = true;
            QCoreApplication::sendEvent(watched, event);
            m_showing = false;
            auto *window = static_cast<QWidget *>(watched);
            placeOnWorkArea(window);
            // Qt meant its place for the frame, but a native window the window manager has not
            // framed yet (a modal one, prepared early) goes there itself, its frame beyond:
            // never so near the work area's top left.
            const QMargins frame = frameMargins(window);
            const QPoint at = window->pos();
            if (window->geometry().topLeft() == at && !frame.isNull()) {
                const QPoint least =
                    workArea(window, nullptr).topLeft() + QPoint(frame.left(), frame.top());
                const QPoint kept(qMax(at.x(), least.x()), qMax(at.y(), least.y()));
                if (kept != at)
                    window->move(kept);
            }
            return true;
        }

    private:
        bool m_showing = false;
    };
    window->installEventFilter(new Keeper(window));
}

void flush()
{
#ifdef TARVELIN_X11
    if (xcb_connection_t *connection = x11Connection())
        xcb_flush(connection);
#endif
}

#ifdef Q_OS_WIN
namespace {
QRect fromRect(const RECT &rect)
{
    return {QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1)};
}
} // namespace

Desk primaryDesk()
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info))
        return {};
    return {fromRect(info.rcMonitor), fromRect(info.rcWork)};
}

QRect outerFrame(QWidget *window)
{
    RECT rect;
    if (!GetWindowRect(reinterpret_cast<HWND>(window->winId()), &rect))
        return window->frameGeometry();
    return fromRect(rect);
}

void moveFrame(QWidget *window, const QPoint &topLeft)
{
    SetWindowPos(reinterpret_cast<HWND>(window->winId()), nullptr, topLeft.x(), topLeft.y(), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
}

QPoint keptPosition(QWidget *window, const QPoint &topLeft)
{
    const qreal ratio = window->devicePixelRatioF();
    const auto kept = [ratio](int device) {
        for (int position = device; position > device - 3; --position) {
            if (qRound(qRound(position / ratio) * ratio) == position)
                return position;
        }
        return device;
    };
    return {kept(topLeft.x()), kept(topLeft.y())};
}
#else
Desk primaryDesk()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? Desk{screen->geometry(), screen->availableGeometry()} : Desk{};
}

QRect outerFrame(QWidget *window)
{
    return window->frameGeometry();
}

void moveFrame(QWidget *window, const QPoint &topLeft)
{
    window->move(topLeft);
}

QPoint keptPosition(QWidget *, const QPoint &topLeft)
{
    return topLeft;
}
#endif

} // namespace WindowSystem
