#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;

// A window of reminders the popups did not give: records that could not pop up, or whose time
// went by while the program was not running. One window gathers them all, each record once, and
// grows as more come, so that none hides behind another. It is not modal: the monitor goes on
// checking while it waits to be read. "确定" closes it and empties it.
class ReminderListWindow : public QDialog
{
    Q_OBJECT

public:
    ReminderListWindow(const QString &title, const QString &intro, QWidget *parent = nullptr);

    // Adds a line, then shows the window and brings it forward.
    void addEntry(const QString &text);
    QStringList entries() const;

protected:
    void done(int result) override;

private:
    QLabel *m_intro;
    QListWidget *m_list;
};
