#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a reminder popup stands: its right edge on the screen's right edge, and its bottom edge
// one outer window height above the work area's bottom for every row beyond the first. The strip
// below the work area (a taskbar at the bottom) is kept free; a taskbar at the top or at a side
// leaves none, and a taskbar on the right is covered. A row too high for the screen stands on the
// highest row that lies wholly on it.
namespace PopupPlacement {

// The top-left corner of the window's frame. screen and workArea are the screen's geometry and
// available geometry; outer is the frame's size; row counts from 1.
QPoint topLeft(const QRect &screen, const QRect &workArea, const QSize &outer, int row);

} // namespace PopupPlacement
