#pragma once

#include "services.h"

#include <QObject>
#include <QPointer>

#include <memory>

class QLabel;
class QSystemTrayIcon;
class QWidget;
class ReminderEngine;
class ScheduleWindow;
class TextPrompts;

// The lab's schedule beside the main window: the "试验计划" window (made on first use) over the
// engine's journal and settings, and the glance at the day in the main window's status line and
// the tray icon's tooltip.
class LabSchedule : public QObject
{
    Q_OBJECT

public:
    LabSchedule(const ManagerServices &services, ReminderEngine *engine, QWidget *window,
                QLabel *statusLine, QSystemTrayIcon *tray, TextPrompts *prompts = nullptr);
    ~LabSchedule() override;

    // Shows "试验计划", reading a.bz and the journal again.
    void open();
    ScheduleWindow *window() const;
    // Marks one batch tested, its result entered, from the main window's row.
    void markTested(const QString &key);

    // Counts today's and the overdue batches again (a reload, a new day, marks that changed).
    void refreshGlance();

signals:
    // Batches were marked tested, or the marks taken back, in the schedule.
    void marksChanged();

private:
    ManagerServices m_services;
    ReminderEngine *m_engine;
    QLabel *m_statusLine;
    QSystemTrayIcon *m_tray;
    std::unique_ptr<TextPrompts> m_ownPrompts;
    TextPrompts *m_prompts;
    QPointer<ScheduleWindow> m_window;
};
