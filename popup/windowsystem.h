#pragma once

class QWidget;

// What the popup asks of the desktop beyond Qt's window flags. On X11 Qt gives a tool window a
// taskbar button and a minimise function on some window managers, and sends property changes
// such as the opacity only when it next handles an event; elsewhere these are no-ops.
namespace WindowSystem {

// Before the window is first shown: no taskbar or pager entry, and a window type that window
// managers give neither minimise nor maximise.
void prepareReminderWindow(QWidget *window);

// Sends the requests queued so far, so that a change shows without waiting for an event.
void flush();

} // namespace WindowSystem
