#pragma once

#include <QDialog>

class Messages;
class QLineEdit;
class RecordGridModel;

// The search window: colours red the text of every cell of the main window's grid that equals
// the search text exactly, and every other cell back to the default. It filters nothing.
class Form3 : public QDialog
{
    Q_OBJECT

public:
    Form3(RecordGridModel *grid, Messages *messages, QWidget *owner = nullptr);

    void Command1_Click();

private:
    RecordGridModel *m_grid;
    Messages *m_messages;
    QLineEdit *m_text1;
};
