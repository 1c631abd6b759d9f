#pragma once
// The little of X11 the desktop tests need beyond xdotool: what the window system holds about a
// window (its place, its frame, its properties) and the requests a window manager or a user's
// click would send.

#include <QList>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

class X11
{
public:
    // The display named, or $DISPLAY when none is.
    explicit X11(const QByteArray &display = {})
        : m_connection(xcb_connect(display.isEmpty() ? nullptr : display.constData(), nullptr))
    {
    }
    ~X11() { xcb_disconnect(m_connection); }
    X11(const X11 &) = delete;
    X11 &operator=(const X11 &) = delete;

    bool ok() const { return !xcb_connection_has_error(m_connection); }

    xcb_window_t root() const { return screen()->root; }
    QSize screenSize() const { return {screen()->width_in_pixels, screen()->height_in_pixels}; }

    // WM_DELETE_WINDOW: the request a window manager sends when the close button is pressed.
    void close(xcb_window_t window)
    {
        xcb_client_message_event_t event = message(window, "WM_PROTOCOLS");
        event.data.data32[0] = atom("WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(m_connection, false, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char *>(&event));
        xcb_flush(m_connection);
    }

    // WM_CHANGE_STATE to IconicState: what a minimise button asks of the window manager.
    void minimise(xcb_window_t window)
    {
        xcb_client_message_event_t event = message(window, "WM_CHANGE_STATE");
        event.data.data32[0] = 3;
        toRoot(event);
    }

    // _NET_MOVERESIZE_WINDOW for the frame's top left corner, as a user's drag ends it.
    void moveFrame(xcb_window_t window, QPoint topLeft)
    {
        xcb_client_message_event_t event = message(window, "_NET_MOVERESIZE_WINDOW");
        // Static gravity would place the client; north-west places the frame. Source: a pager.
        event.data.data32[0] = 1 | (1u << 8) | (1u << 9) | (2u << 12);
        event.data.data32[1] = uint32_t(topLeft.x());
        event.data.data32[2] = uint32_t(topLeft.y());
        toRoot(event);
    }

    // The window's place and size on the screen, in the screen's own pixels.
    QRect geometry(xcb_window_t window)
    {
        const Reply<xcb_get_geometry_reply_t> size(
            xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr),
            &std::free);
        const Reply<xcb_translate_coordinates_reply_t> place(
            xcb_translate_coordinates_reply(
                m_connection, xcb_translate_coordinates(m_connection, window, root(), 0, 0),
                nullptr),
            &std::free);
        if (!size || !place)
            return {};
        return {place->dst_x, place->dst_y, size->width, size->height};
    }

    // The outer frame: the client's geometry grown by the window manager's _NET_FRAME_EXTENTS.
    // Null until the window manager has framed the window.
    QRect frame(xcb_window_t window)
    {
        const QList<quint32> extents = cardinals(window, "_NET_FRAME_EXTENTS");
        if (extents.size() != 4)
            return {};
        return geometry(window).adjusted(-int(extents[0]), -int(extents[2]), int(extents[1]),
                                         int(extents[3]));
    }

    QList<quint32> cardinals(xcb_window_t window, const char *property)
    {
        return values(window, property, XCB_ATOM_CARDINAL);
    }

    // The names of the atoms a property lists, such as _NET_WM_STATE.
    QStringList atoms(xcb_window_t window, const char *property)
    {
        QStringList names;
        for (const quint32 value : values(window, property, XCB_ATOM_ATOM))
            names << atomName(value);
        return names;
    }

    // The managed windows whose _NET_WM_NAME starts with the text, from the window manager's
    // _NET_CLIENT_LIST: mapped or minimised, but not withdrawn.
    QList<xcb_window_t> clientsNamed(const QString &start)
    {
        QList<xcb_window_t> found;
        for (const quint32 window : values(root(), "_NET_CLIENT_LIST", XCB_ATOM_WINDOW)) {
            if (text(window, "_NET_WM_NAME").startsWith(start))
                found << window;
        }
        return found;
    }

    // Windows anywhere in the tree, managed or not, whose title is the text.
    QList<xcb_window_t> windowsNamed(const QString &name) { return walk(root(), name); }

    // The sizes of the images in _NET_WM_ICON, the icon the taskbar and the switcher show.
    QList<int> iconSizes(xcb_window_t window)
    {
        const QList<quint32> data = cardinals(window, "_NET_WM_ICON");
        QList<int> sizes;
        for (qsizetype at = 0; at + 2 <= data.size();) {
            const quint32 width = data[at], height = data[at + 1];
            if (width != height)
                return {};
            sizes << int(width);
            at += 2 + qsizetype(width) * height;
        }
        std::sort(sizes.begin(), sizes.end());
        return sizes;
    }

private:
    template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

    const xcb_screen_t *screen() const
    {
        return xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    }

    xcb_client_message_event_t message(xcb_window_t window, const char *type)
    {
        xcb_client_message_event_t event = {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atom(type);
        return event;
    }

    void toRoot(const xcb_client_message_event_t &event)
    {
        xcb_send_event(m_connection, false, root(),
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&event));
        xcb_flush(m_connection);
    }

    QList<quint32> values(xcb_window_t window, const char *property, xcb_atom_t type)
    {
        const Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(
                m_connection,
                xcb_get_property(m_connection, false, window, atom(property), type, 0, 1 << 22),
                nullptr),
            &std::free);
        if (!reply || reply->format != 32)
            return {};
        const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
        return QList<quint32>(data, data + xcb_get_property_value_length(reply.get()) / 4);
    }

    QString text(xcb_window_t window, const char *property)
    {
        const Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(m_connection,
                                   xcb_get_property(m_connection, false, window, atom(property),
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
                                   nullptr),
            &std::free);
        if (!reply || reply->format != 8)
            return {};
        return QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(reply.get())),
                                 xcb_get_property_value_length(reply.get()));
    }

    QList<xcb_window_t> walk(xcb_window_t window, const QString &name)
    {
        QList<xcb_window_t> found;
        // WM_NAME may be compound text; _NET_WM_NAME is UTF-8 where a client sets it.
        QString title = text(window, "_NET_WM_NAME");
        if (title.isEmpty())
            title = text(window, "WM_NAME");
        if (title == name)
            found << window;
        const Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr),
            &std::free);
        if (!tree)
            return found;
        const xcb_window_t *children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i)
            found << walk(children[i], name);
        return found;
    }

    xcb_atom_t atom(const char *name)
    {
        const Reply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(
                m_connection,
                xcb_intern_atom(m_connection, false, uint16_t(std::strlen(name)), name), nullptr),
            &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    QString atomName(xcb_atom_t value)
    {
        const Reply<xcb_get_atom_name_reply_t> reply(
            xcb_get_atom_name_reply(m_connection, xcb_get_atom_name(m_connection, value), nullptr),
            &std::free);
        if (!reply)
            return {};
        return QString::fromLatin1(xcb_get_atom_name_name(reply.get()),
                                   xcb_get_atom_name_name_length(reply.get()));
    }

    xcb_connection_t *m_connection;
};

// The visible windows whose title matches the pattern, found as a user's script would.
inline QList<xcb_window_t> visibleWindowsNamed(const QString &pattern)
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
