#include "clockwatchers.h"

#include "clock.h"

#include <QTimer>

namespace {
// Milliseconds from the clock's present time to its next multiple of `period` within the
// minute (60,000: the next hh:mm:00; 1,000: the next whole second). An invalid time waits a
// whole period rather than spinning.
int msecsToNext(const Clock *clock, int period)
{
    const QTime time = clock->now().time();
    if (!time.isValid())
        return period;
    return period - (time.second() * 1000 + time.msec()) % period;
}

// A precise single shot: a coarse timer may fire up to 5 % early, a minute's check at hh:mm:57.
QTimer *singleShot(QObject *parent)
{
    auto *timer = new QTimer(parent);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    return timer;
}
} // namespace

MinuteTimer::MinuteTimer(const Clock *clock, QObject *parent)
    : QObject(parent), m_clock(clock), m_timer(singleShot(this))
{
    connect(m_timer, &QTimer::timeout, this, [this] {
        arm();
        emit minuteStarted();
    });
}

void MinuteTimer::start()
{
    arm();
}

void MinuteTimer::stop()
{
    m_timer->stop();
}

bool MinuteTimer::isActive() const
{
    return m_timer->isActive();
}

int MinuteTimer::interval() const
{
    return m_timer->interval();
}

void MinuteTimer::arm()
{
    // Taken anew each minute, so that a clock set or a slept computer is followed a minute later.
    m_timer->start(msecsToNext(m_clock, 60000));
}

DayWatcher::DayWatcher(const Clock *clock, QObject *parent)
    : QObject(parent), m_clock(clock), m_timer(singleShot(this))
{
    connect(m_timer, &QTimer::timeout, this, [this] {
        arm();
        poll();
    });
}

void DayWatcher::start()
{
    m_day = m_clock->now().date();
    arm();
}

bool DayWatcher::poll()
{
    const QDate today = m_clock->now().date();
    if (today == m_day)
        return false;
    m_day = today;
    emit dayChanged();
    return true;
}

void DayWatcher::arm()
{
    // At whole seconds, so that midnight is seen at 00:00:00 and not up to a second later.
    m_timer->start(msecsToNext(m_clock, 1000));
}
