#pragma once

#include <QString>

// Where the main window lists the reminders that no popup gave: records whose popup could not
// show ("到期提醒无法弹出…") and records whose minute went by while nobody checked. Not a message
// box: the monitor goes on checking while the list waits to be read. The program lists them in
// windows of its own (ReminderListWindows); tests give a recorder.
class ReminderNotices
{
public:
    virtual ~ReminderNotices() = default;
    virtual void notShown(const QString &text) = 0;
    virtual void late(const QString &text) = 0;
};
