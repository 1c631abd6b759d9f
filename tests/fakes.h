#pragma once

#include "clock.h"
#include "messages.h"

#include <QList>

// A clock that tells the time it is set to. set() is the user or the network setting the time of
// day, which deadlines do not see; advanceSeconds() is time passing.
class FakeClock : public Clock
{
public:
    explicit FakeClock(QDateTime time = {}) : m_time(std::move(time)) {}
    QDateTime now() const override { return m_time; }
    qint64 elapsedMs() const override { return m_elapsedMs; }
    void set(const QDateTime &time) { m_time = time; }
    void advanceSeconds(int seconds)
    {
        m_time = m_time.addSecs(seconds);
        m_elapsedMs += qint64(seconds) * 1000;
    }

private:
    QDateTime m_time;
    qint64 m_elapsedMs = 0;
};

// Records every message and question instead of showing it; questions get the answer set here.
class RecordingMessages : public Messages
{
public:
    struct Shown
    {
        QString text;
        QString title;
        MessageStyle style;
        bool noByDefault = false; // asked through confirm
    };
    void show(const QString &text, const QString &title, MessageStyle style) override
    {
        shown.append({text, title, style});
    }
    bool ask(const QString &text, const QString &title) override
    {
        asked.append({text, title, MessageStyle::Plain});
        return answer;
    }
    bool confirm(const QString &text, const QString &title) override
    {
        asked.append({text, title, MessageStyle::Plain, true});
        return answer;
    }
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    QList<Shown> shown;
    QList<Shown> asked;
    bool answer = false;
};
