#pragma once

#include "reminderengine.h"
#include "services.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class Form2;
class Form4;
class LabSchedule;
class MonitorSwitch;
class ReminderDispatcher;
class QTimer;
class RecordBackups;
class RecordGridModel;
class RecordGridView;
class TrayIcon;
class UnreadableRecordsWindow;
struct MainMenus;

// The main window: today's batches in Grid1 as the reminder engine holds them, the clock in the
// caption, the menu bar, the tray icon and the monitor's switch. The engine decides what falls
// due; the window marks the row and hands the batch to the popup.
class Form1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit Form1(const ManagerServices &services, QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up: show, lay out the grid, load today's records, start the monitor if any.
    void Form_Load();

    RecordGridModel *grid() const { return m_grid; }
    RecordGridView *gridView() const { return m_gridView; }
    MonitorSwitch *monitorSwitch() const { return m_switch; }
    QTimer *timer1() const;
    ReminderDispatcher *dispatcher() const { return m_dispatcher; }
    ReminderEngine *engine() const { return m_engine; }
    const ManagerServices &services() const { return m_services; }
    TrayIcon *trayIcon() const { return m_tray; }
    LabSchedule *labSchedule() const { return m_lab; }
    UnreadableRecordsWindow *unreadableRecords() const { return m_unreadable; }

    // The settings window, created hidden on first use; it owns the interval text.
    Form4 *form4();

    // "插入数据": the entry form, created on first use and shown modally. "关闭" hides it and
    // keeps its fields; the close box discards it.
    void crsj_Click();

    // Loads the records due today into Grid1; rows reminded before are marked again.
    void daoru();

    // The clock in the caption.
    void Timer2_Timer();

    // The due-time check: the engine marks what fell due and each row goes to yxts.
    void Timer1_Timer();

    // Hands the record of a row that just fell due to the reminder popup; says whether a popup
    // shows it or, with every slot taken, the list.
    ReminderJournal::How yxts(int row);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void connectMenus();
    // Shows the engine's batches of today, their marks, and what the load found.
    void showToday(const ReminderEngine::LoadReport &report);
    // Sizes the window to show the grid's columns, within the screen's work area.
    void fitToWorkArea();
    // A row's test result as the journal has it (RecordGridModel::setToolTips).
    QString resultTip(int row) const;
    // What the journal knows of a row's batch; nothing when it knows nothing.
    const ReminderJournal::Entry *entryOfRow(int row) const;

    ManagerServices m_services;
    RecordGridModel *m_grid;
    RecordGridView *m_gridView;
    QTimer *m_timer2;
    QPointer<Form4> m_form4;
    QPointer<Form2> m_form2;
    std::unique_ptr<RecordBackups> m_ownBackups;
    ReminderEngine *m_engine;
    ReminderDispatcher *m_dispatcher;
    std::unique_ptr<MainMenus> m_menus;
    TrayIcon *m_tray = nullptr;
    LabSchedule *m_lab = nullptr;
    UnreadableRecordsWindow *m_unreadable;
    MonitorSwitch *m_switch = nullptr;
};
