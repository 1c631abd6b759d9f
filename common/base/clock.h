#pragma once

#include <QDateTime>
#include <QString>

// The present time comes through this interface so that tests can set it.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Milliseconds on a clock that only runs forward, whatever is done to the time of day: what
    // a deadline is measured on, so that setting the clock neither ends nor stretches it.
    virtual qint64 elapsedMs() const;
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override;
};

// The text forms in which the programs write and compare times.
namespace TimeText {
QString date(const QDateTime &time);   // "YYYY-MM-DD"
QString minute(const QDateTime &time); // "YYYY-MM-DD hh:mm", the form of every due time
QString second(const QDateTime &time); // "YYYY-MM-DD hh:mm:ss"
} // namespace TimeText
