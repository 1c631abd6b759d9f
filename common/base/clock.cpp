#include "clock.h"

#include <QDeadlineTimer>

qint64 Clock::elapsedMs() const
{
    return QDeadlineTimer::current().deadline();
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

namespace TimeText {
QString date(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd"));
}

QString minute(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString second(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}
} // namespace TimeText
