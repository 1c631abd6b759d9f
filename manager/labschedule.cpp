#include "labschedule.h"

#include "apppaths.h"
#include "clock.h"
#include "reminderwatch.h"
#include "schedulewindow.h"
#include "textprompts.h"

#include <QLabel>
#include <QSystemTrayIcon>

LabSchedule::LabSchedule(const ManagerServices &services, QWidget *window, QLabel *statusLine,
                         QSystemTrayIcon *tray, TextPrompts *prompts)
    : QObject(window), m_services(services), m_journal(services.dataFolder),
      m_settings(services.dataFolder), m_owner(window), m_statusLine(statusLine), m_tray(tray),
      m_ownPrompts(prompts ? nullptr : new DialogPrompts),
      m_prompts(prompts ? prompts : m_ownPrompts.get())
{
    m_settings.load();
}

LabSchedule::~LabSchedule() = default;

void LabSchedule::open()
{
    if (!m_window) {
        m_window = new ScheduleWindow(m_services, &m_journal, &m_settings, m_prompts, m_owner);
        connect(m_window, &ScheduleWindow::marksChanged, this, &LabSchedule::refreshGlance);
    }
    m_window->reload();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void LabSchedule::refreshGlance()
{
    const QDateTime now = m_services.clock->now();
    m_journal.loadMonths(now.date().addDays(-m_settings.overdueDays), now.date());
    const ReminderWatch::Scan scan = ReminderWatch::scanDue(
        AppPaths::recordFile(m_services.dataFolder),
        ReminderWatch::glanceFrom(now, m_settings.overdueDays), ReminderWatch::glanceBefore(now));
    const QString text = ReminderWatch::glance(scan.records, m_journal, now).text();
    m_statusLine->setText(text);
    m_tray->setToolTip(QStringLiteral("Tarvelin\n") + text);
}
