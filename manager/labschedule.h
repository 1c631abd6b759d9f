#pragma once

#include "labsettings.h"
#include "reminderjournal.h"
#include "services.h"

#include <QObject>
#include <QPointer>

#include "schedulewindow.h"

#include <memory>

class QLabel;
class QSystemTrayIcon;
class QWidget;
class TextPrompts;

// The lab's schedule beside the main window: the journal and the lab's settings for the run, the
// "试验计划" window (made on first use), and the glance at the day in the main window's status
// line and the tray icon's tooltip.
class LabSchedule : public QObject
{
    Q_OBJECT

public:
    LabSchedule(const ManagerServices &services, QWidget *window, QLabel *statusLine,
                QSystemTrayIcon *tray, TextPrompts *prompts = nullptr);
    ~LabSchedule() override;

    ReminderJournal &journal() { return m_journal; }
    LabSettings &settings() { return m_settings; }

    // Shows "试验计划", reading a.bz and the journal again.
    void open();
    ScheduleWindow *window() const { return m_window; }

    // Counts today's and the overdue batches again (a reload, a new day, marks that changed).
    void refreshGlance();

private:
    ManagerServices m_services;
    ReminderJournal m_journal;
    LabSettings m_settings;
    QWidget *m_owner;
    QLabel *m_statusLine;
    QSystemTrayIcon *m_tray;
    std::unique_ptr<TextPrompts> m_ownPrompts;
    TextPrompts *m_prompts;
    QPointer<ScheduleWindow> m_window;
};
