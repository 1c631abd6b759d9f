#include "monitorswitch.h"

#include "clockwatchers.h"
#include "labsettings.h"
#include "messages.h"
#include "recordgridmodel.h"
#include "titles.h"

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
        m_messages->show(QStringLiteral("开启失败"), Title::notice(), MessageStyle::Exclamation);
        return;
    }
    // An interval that cannot be used is told before anything claims to have started.
    const std::optional<int> interval = readInterval(m_intervalText());
    if (!interval)
        return;
    if (*interval == 0) {
        m_messages->show(QStringLiteral("刷新间隔为 0 毫秒，提醒没有开启：请在“设置”中填写 1 到 "
                                        "%1 毫秒。")
                             .arg(LabSettings::kLongestIntervalMs),
                         Title::notice(), MessageStyle::Exclamation);
        return;
    }
    m_messages->show(QStringLiteral("已经开启"), Title::notice(), MessageStyle::Information);
    enter(State::On, *interval);
}

void MonitorSwitch::bg_Click()
{
    enter(State::Stopped);
    m_messages->show(QStringLiteral("已经关闭"), Title::notice(), MessageStyle::Plain);
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
    m_messages->show(
        QStringLiteral("刷新间隔“%1”无效：只能是 0 到 %2 毫秒。提醒间隔保持为 %3 毫秒。")
            // One arg: a typed "%2" stays as typed.
            .arg(text, QString::number(LabSettings::kLongestIntervalMs),
                 QString::number(m_timer1->isActive() ? m_timer1->interval() : 0)),
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
