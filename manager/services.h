#pragma once

#include <QString>

class Clock;
class Messages;

// What the manager's windows take from outside, so that tests can give fakes.
struct ManagerServices
{
    QString dataFolder; // holds a.bz and vexa.ini
    const Clock *clock = nullptr;
    Messages *messages = nullptr;
    QString popupProgram; // absolute path of vexa
};
