#pragma once

#include "autostart.h"

#include <QDialog>

class Messages;
class QCheckBox;
class QLineEdit;
class QPushButton;

// The settings window: the monitor's refresh interval for this run, and start with the system.
// The interval lives only in Text1; the main window reads it whenever it starts the monitor.
class Form4 : public QDialog
{
    Q_OBJECT

public:
    explicit Form4(Messages *messages, QWidget *owner = nullptr);

    QString intervalText() const;

signals:
    // "设置" was pressed with this interval text.
    void intervalApplied(const QString &text);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Command1_Click();
    void Check1_Click(bool checked);

    Messages *m_messages;
    Autostart m_autostart;
    QLineEdit *m_text1;
    QCheckBox *m_check1;
    QPushButton *m_command1;
};
