#pragma once

#include <QString>

class Clock;
class Messages;
class RecordBackups;
class ReminderNotices;

// What the manager (its reminder engine and its windows) takes from outside, so that tests can
// give fakes.
struct ManagerServices
{
    QString dataFolder; // holds a.bz and vexa.ini
    const Clock *clock = nullptr;
    Messages *messages = nullptr;
    QString popupProgram; // absolute path of vexa
    // Where reminders no popup gave are listed; null: in the main window's own windows.
    ReminderNotices *notices = nullptr;
    // Where a.bz is kept before it is rewritten; null: the main window makes its own.
    RecordBackups *backups = nullptr;
};
