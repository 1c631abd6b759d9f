#pragma once

#include "remindernotices.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QListView;
class QTimer;
class ReminderEntryModel;

// A window of reminders the popups did not give: records that could not pop up, or whose time
// went by while the program was not running. One window gathers them all, each record once, and
// grows as more come, so that none hides behind another. It is not modal: the monitor goes on
// checking while it waits to be read. "确定" closes it and empties it.
//
// Thousands may come in one check (every slot held), one at a time: they are gathered and taken
// into the list together when the check is over, so that the list lays itself out once, not once
// per record.
class ReminderListWindow : public QDialog
{
    Q_OBJECT

public:
    // It stands in the work area's bottom right corner, cornerOffset title bars up and to the
    // left, so that two such windows shown together both show their titles.
    ReminderListWindow(const QString &title, const QString &intro, int cornerOffset = 0,
                       QWidget *parent = nullptr);

    // Adds a line and shows the window; the list takes it in at the next turn of the event loop,
    // and comes to the front then.
    void addEntry(const QString &text);
    // Every line, also those not taken in yet.
    QStringList entries() const;

protected:
    void done(int result) override;

private:
    void takeIn();
    void standInCorner();

    QLabel *m_intro;
    QListView *m_list;
    ReminderEntryModel *m_model;
    QStringList m_waiting;
    QTimer *m_takeIn;
    int m_cornerOffset;
};

// ReminderNotices as two such windows of the main window: "到期提醒" for records that could not
// pop up, "错过的到期提醒" for late ones.
class ReminderListWindows : public QObject, public ReminderNotices
{
    Q_OBJECT

public:
    explicit ReminderListWindows(QWidget *owner);
    void notShown(const QString &text) override;
    void late(const QString &text) override;

private:
    ReminderListWindow *m_notShown;
    ReminderListWindow *m_late;
};
