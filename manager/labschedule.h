#pragma once

#include "labsettings.h"
#include "reminderjournal.h"
#include "reminderwatch.h"
#include "services.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include "schedulewindow.h"

#include <memory>

class QLabel;
class RecordGridModel;
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

    // The rows of the main window's grid whose record was reminded already (by a popup or in the
    // list), this run or an earlier one: they are marked "到期" again, not reminded twice.
    QList<int> remindedRows(const RecordGridModel &grid);
    // A popup was started for the record of this line.
    void remindedByPopup(const QString &key);
    // Every record whose due minute passed since the watch's horizon and that was never
    // reminded, each once, oldest first, as texts for the list of missed reminders (today's
    // named by their number in the main window, from numbers by line); each is written to the
    // journal as listed.
    QStringList catchUp(const QHash<QString, QString> &numbers);

private:
    // A journal that cannot be read or written is said in a message box of its own, after the
    // present work: the reminders go on.
    void report(const QStringList &problems);
    // The days the watch answers for, read once.
    QString horizon();
    // The records due from the overdue span's first day up to tomorrow, read again only when the
    // record file, the day or the span changed: one read of a.bz serves the glance and the
    // catch-up of a load.
    const ReminderWatch::Scan &spanScan(const QDateTime &now);

    ManagerServices m_services;
    ReminderJournal m_journal;
    LabSettings m_settings;
    QWidget *m_owner;
    QLabel *m_statusLine;
    QSystemTrayIcon *m_tray;
    std::unique_ptr<TextPrompts> m_ownPrompts;
    TextPrompts *m_prompts;
    QPointer<ScheduleWindow> m_window;
    struct Scanned
    {
        QString stamp, from, before; // the record file's stamp and the span scanned
        ReminderWatch::Scan scan;
    } m_scanned;
};
