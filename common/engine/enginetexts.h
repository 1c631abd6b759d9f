#pragma once

#include <QString>

// The texts of the reminder engine.
namespace EngineText {

// The glance at the day in the main window's status bar.
QString glance(int todayLeft, int overdue);

} // namespace EngineText
