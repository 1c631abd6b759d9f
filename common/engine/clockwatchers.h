#pragma once

#include <QDate>
#include <QObject>

class Clock;
class QTimer;

// Fires as every minute of the clock begins (hh:mm:00), so that what falls due in a minute is
// seen at its start, whatever the monitor's interval.
class MinuteTimer : public QObject
{
    Q_OBJECT

public:
    explicit MinuteTimer(const Clock *clock, QObject *parent = nullptr);

    void start();
    void stop();
    bool isActive() const;
    // The wait until the next start of a minute on the clock, in milliseconds (1 to 60,000).
    int interval() const;

signals:
    void minuteStarted();

private:
    void arm();

    const Clock *m_clock;
    QTimer *m_timer;
};

// Tells when the clock's date is no longer the one it started on: midnight, a clock set to
// another day, or a computer woken on a later day. It asks the clock at every whole second rather
// than sleeping until midnight, because a timer counts neither the time a computer slept nor a
// clock set by hand.
class DayWatcher : public QObject
{
    Q_OBJECT

public:
    explicit DayWatcher(const Clock *clock, QObject *parent = nullptr);

    void start();
    // Emits dayChanged when the date moved since the last look; returns whether it did.
    bool poll();

signals:
    void dayChanged();

private:
    void arm();

    const Clock *m_clock;
    QTimer *m_timer;
    QDate m_day;
};
