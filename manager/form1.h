#pragma once

#include "duemonitor.h"
#include "services.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class DayWatcher;
class Form2;
class Form4;
class LabSchedule;
class MonitorSwitch;
class RecordFileWatcher;
class ReminderDispatcher;
class QAction;
class QMenu;
class QTimer;
class RecordGridModel;
class RecordGridView;
class TrayIcon;
class RecordBackups;
class UnreadableRecordsWindow;

// The main window: today's records in Grid1, the clock in the caption, the menu bar, and the
// due-time monitor with its switch.
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
    const ManagerServices &services() const { return m_services; }
    TrayIcon *trayIcon() const { return m_tray; }
    LabSchedule *labSchedule() const { return m_lab; }
    UnreadableRecordsWindow *unreadableRecords() const { return m_unreadable; }

    // The settings window, created hidden on first use; it owns the interval text.
    Form4 *form4();

    // "插入数据": the entry form, created on first use and shown modally. "关闭" hides it and
    // keeps its fields; the close box discards it.
    void crsj_Click();

    // Loads the records due today into Grid1, replacing what it showed. Rows marked due before
    // keep their mark and colours when their record is still there.
    void daoru();

    // The clock in the caption.
    void Timer2_Timer();

    // The due-time check: marks the rows that fell due and hands each to yxts.
    void Timer1_Timer();

    // Hands the record of a row that just fell due to the reminder popup.
    void yxts(int row);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    // Menu items and menus keep their names as objectName, which is also how tests find them.
    QAction *addItem(QMenu *parent, const QString &name, const QString &caption);
    void addSeparator(QMenu *parent, const QString &name);
    QMenu *addMenu(QMenu *parent, const QString &name, const QString &caption);
    // Sizes the window to show the grid's columns, within the screen's work area.
    void fitToWorkArea();
    // daoru, then the monitor starts by itself when records appeared, unless the user stopped it.
    void load();
    // load, then what was never reminded is listed, unless the user stopped the reminders.
    void reload();
    void newDay();
    // Lists once every record never reminded since the watch began, of any day, and marks
    // today's among them.
    void remindPassed();

    ManagerServices m_services;
    RecordGridModel *m_grid;
    RecordGridView *m_gridView;
    QTimer *m_timer2;
    QPointer<Form4> m_form4;
    QPointer<Form2> m_form2;
    DueMonitor m_monitor;
    ReminderDispatcher *m_dispatcher;
    QMenu *m_menu = nullptr; // "菜单", also the tray icon's menu
    QAction *m_tscsh = nullptr, *m_sjcsh = nullptr, *m_end = nullptr;
    QAction *m_kq = nullptr, *m_bg = nullptr;
    QAction *m_dq = nullptr, *m_crsj = nullptr, *m_find = nullptr, *m_scgqsj = nullptr;
    QAction *m_hfbf = nullptr; // "从备份恢复"
    QAction *m_sz = nullptr;
    QAction *m_syjh = nullptr; // "试验计划", after the menu's own items
    QAction *m_jz = nullptr, *m_gy = nullptr, *m_sj = nullptr;
    TrayIcon *m_tray = nullptr;
    LabSchedule *m_lab = nullptr;
    std::unique_ptr<RecordBackups> m_ownBackups;
    UnreadableRecordsWindow *m_unreadable;
    QString m_checkedStamp; // the record file as it was when its lines were last checked
    MonitorSwitch *m_switch = nullptr;
    DayWatcher *m_dayWatcher;
    RecordFileWatcher *m_fileWatcher;
    bool m_loading = false; // within load(): the switch turned on by records is no user's act
};
