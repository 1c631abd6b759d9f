#include "monitorswitch.h"

#include "clockwatchers.h"
#include "labsettings.h"
#include "messages.h"
#include "recordgridmodel.h"
#include "titles.h"
#include "windowtexts.h"

#include <QAction>
#include <QTimer>

MonitorSwitch::MonitorSwitch(const RecordGridModel *grid, const Clock *clock, Messages *messages,
                             IntervalText intervalText, QAction *kq, QAction *bg, QObject *parent)
    : QObject(parent), m_grid(grid), m_messages(messages), m_intervalText(std::move(intervalText)),
      m_kq(kq), m_bg(bg), m_timer1(new QTimer(this)), m_minute(new MinuteTimer(clock, this))
{
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    connect(m_timer1, &QTimer::timeout, this, &MonitorSwitch::checkDue);
    connect(m_minute, &MinuteTimer::minuteStarted, this, &MonitorSwitch::checkDue);
    enter(State::NoRecords);
}

void MonitorSwitch::recordsLoaded()
{
    if (m_state != State::NoRecords || !m_grid->hasRecords())
        return;
    const std::optional<int> interval = readInterval(m_intervalText());
    if (interval && *interval > 0)
        enter(State::On, *interval);
}

void MonitorSwitch::kq_Click()
{
    if (!m_grid->hasRecords()) {
        m_messages->show(WindowText::monitorNotStarted(), Title::notice(),
                         MessageStyle::Exclamation);
        return;
    }
    // An interval that cannot be used is told before anything claims to have started.
    const std::optional<int> interval = readInterval(m_intervalText());
    if (!interval)
        return;
    if (*interval == 0) {
        m_messages->show(WindowText::zeroInterval(), Title::notice(), MessageStyle::Exclamation);
        return;
    }
    m_messages->show(WindowText::monitorStarted(), Title::notice(), MessageStyle::Information);
    enter(State::On, *interval);
}

void MonitorSwitch::bg_Click()
{
    enter(State::Stopped);
    m_messages->show(WindowText::monitorStopped(), Title::notice(), MessageStyle::Plain);
}

void MonitorSwitch::apply(const QString &intervalText)
{
    const std::optional<int> interval = readInterval(intervalText);
    if (interval)
        enter(*interval > 0 ? State::On : State::Stopped, *interval);
}

std::optional<int> MonitorSwitch::readInterval(const QString &text)
{
    const std::optional<int> interval = LabSettings::readInterval(text);
    if (interval)
        return interval;
    m_messages->show(WindowText::badInterval(text, m_timer1->isActive() ? m_timer1->interval() : 0),
                     Title::notice(), MessageStyle::Exclamation);
    return std::nullopt;
}

void MonitorSwitch::enter(State state, int interval)
{
    const bool wasOn = isOn();
    m_state = state;
    if (isOn()) {
        m_timer1->start(interval);
        m_minute->start();
    } else {
        m_timer1->stop();
        m_timer1->setInterval(0);
        m_minute->stop();
    }
    m_kq->setEnabled(!isOn());
    m_bg->setEnabled(isOn());
    if (isOn() && !wasOn)
        emit switchedOn();
}
