#include "windowsystem.h"

#include <QGuiApplication>
#include <QStyle>
#include <QWidget>

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

void flush()
{
#ifdef TARVELIN_X11
    if (xcb_connection_t *connection = x11Connection())
        xcb_flush(connection);
#endif
}

} // namespace WindowSystem
