#pragma once

#include "reminderengine.h"

#include <QObject>

#include <functional>
#include <optional>

class Clock;
class Messages;
class MinuteTimer;
class QAction;
class QTimer;
class RecordGridModel;

// Whether the due-time monitor runs, and the two menu items that show it: "开启提醒" (kq) is
// enabled exactly while it is off, "停止提醒" (bg) exactly while it is on. While on, it asks for a
// check at every tick of Timer1 (the settings window's interval) and as every minute begins.
class MonitorSwitch : public QObject
{
    Q_OBJECT

public:
    // Stopped: off by the user ("停止提醒", or an interval of 0) until the user starts it.
    using State = ReminderEngine::Monitoring;
    // The settings window's interval text, read only when the monitor is about to start.
    using IntervalText = std::function<QString()>;

    MonitorSwitch(const RecordGridModel *grid, const Clock *clock, Messages *messages,
                  IntervalText intervalText, QAction *kq, QAction *bg, QObject *parent);

    State state() const { return m_state; }
    bool isOn() const { return m_state == State::On; }
    QTimer *timer1() const { return m_timer1; }
    MinuteTimer *minuteTimer() const { return m_minute; }

    // The grid was loaded: records shown start a monitor that the user has not stopped.
    void recordsLoaded();
    void kq_Click();
    void bg_Click();
    // "设置" on the settings window: the interval takes effect in any state; 0 stops the monitor.
    void apply(const QString &intervalText);

signals:
    void checkDue();
    // On after being off: the next check looks at the present minute onwards.
    void switchedOn();

private:
    // An interval the timer cannot take is told to the user and gives nothing.
    std::optional<int> readInterval(const QString &text);
    void enter(State state, int interval = 0);

    const RecordGridModel *m_grid;
    Messages *m_messages;
    IntervalText m_intervalText;
    QAction *m_kq;
    QAction *m_bg;
    QTimer *m_timer1;
    MinuteTimer *m_minute;
    State m_state = State::NoRecords;
};
