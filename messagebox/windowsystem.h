#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

class QScreen;
class QWidget;

// What the windows ask of the desktop beyond Qt's window flags. On X11 Qt gives a tool window a
// taskbar button and a minimise function on some window managers, and a dialog too, and sends
// property changes such as the opacity only when it next handles an event; elsewhere these are
// no-ops.
namespace WindowSystem {

// Before the window is first shown: no taskbar or pager entry, and a window type that window
// managers give neither minimise nor maximise.
void prepareReminderWindow(QWidget *window);

// Before a modal window is first shown: a window type that window managers give no minimise. A
// minimised modal window would take its owner along, and nothing would bring it back.
void prepareModalWindow(QWidget *window);

// The window manager's frame around a top-level window; an estimate (a title bar and thin
// borders) until the window manager has framed it.
QMargins frameMargins(const QWidget *window);

// The most a top-level window may be for its frame to fit the work area of screen (by default its
// owner's screen, or its own).
QSize roomOnWorkArea(const QWidget *window, const QScreen *screen = nullptr);

// Puts a top-level window's frame wholly on the work area of screen (by default its owner's
// screen, or its own): the window shrunk to roomOnWorkArea, then aligned at where (Qt::AlignCenter,
// or a side or corner inset pixels in from the edges), or, with no alignment, moved only as far as
// it must be; a window not yet shown is then left where Qt will place it (a dialog over its owner,
// on the work area).
void placeOnWorkArea(QWidget *window, const QScreen *screen = nullptr, Qt::Alignment where = {},
                     int inset = 0);

// placeOnWorkArea now, for the window's size, and again each time it is shown, after Qt has put a
// dialog over its owner reckoning with a frame it guesses.
void keepOnWorkArea(QWidget *window);

// Sends the requests queued so far, so that a change shows without waiting for an event.
void flush();

// The primary screen and its work area, the window's outer frame, and a move of that frame, all in
// the coordinates the window system itself reports. On Windows these are device pixels from
// GetMonitorInfo and GetWindowRect: Qt's frame there can be a few pixels smaller than the
// window's rectangle, and scaling to logical pixels rounds. Elsewhere Qt's geometry is the
// window manager's.
struct Desk
{
    QRect screen;
    QRect workArea;
};
Desk primaryDesk();
QRect outerFrame(QWidget *window);
void moveFrame(QWidget *window, const QPoint &topLeft);
// The nearest position above and to the left of topLeft that the window keeps. Qt keeps a
// window's position in whole logical pixels and sets it again when it shows the window: at 150 %
// a device position between two logical pixels moves one down or right.
QPoint keptPosition(QWidget *window, const QPoint &topLeft);

} // namespace WindowSystem
