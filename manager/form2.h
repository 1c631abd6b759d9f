#pragma once

#include "duetime.h"
#include "recordfile.h"
#include "services.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class DatePicker;
class QComboBox;
class QLineEdit;
class QPushButton;
class RecordGridModel;

// The entry form: one new record per "添加", with its due time from "?". Its table Grid1 (a model
// without a view) holds every record of a.bz; each add reloads the file, appends the new record
// and writes the whole table back, so nothing removed or added elsewhere in the meantime is lost
// or brought back.
class Form2 : public QDialog
{
    Q_OBJECT

public:
    // Builds the form and loads it: the table from a.bz and the start values from the clock.
    explicit Form2(const ManagerServices &services, QWidget *owner = nullptr);

    RecordGridModel *grid() const { return m_grid; }

    // Reads a.bz into Grid1: every line with any filled field, numbered from 1, then the empty
    // spare row. Returns an error text, and leaves the table as it was, when the file exists but
    // cannot be read; a missing file gives an empty table.
    QString daoru();

    // Computes the due time from the boxes into Text7, or says why it cannot.
    void tianjia();

    // Writes the whole table to a.bz (atomically). A line that was not of a record's width when
    // it was read is written back exactly as it was read (RecordLine).
    RecordFile::Outcome baocuns() const;

protected:
    // Escape hides the form like "关闭"; Return presses the focused button and nothing else.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_Load();
    void buildControls();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    // Why the record in the boxes may not be added, or an empty text.
    QString refusalOfEntry() const;
    QStringList recordFromBoxes() const;
    DueTime::Inputs inputsFromBoxes() const;
    // False when "添加" must stop: the due time came from "?" and no longer matches the boxes,
    // and recomputing it (if the user chose to) failed.
    bool offerToRecompute();
    // False when the file lost records since the form last saw it and the user chose not to add.
    bool confirmFewerRecords();
    RecordFile recordFile() const;

    ManagerServices m_services;
    RecordGridModel *m_grid;
    // For each record row of Grid1 (row r at index r-1): RecordLine::keptAsRead of its line.
    QList<QStringList> m_asRead;

    QLineEdit *m_text1, *m_text2, *m_text3, *m_text4, *m_text5, *m_text6;
    QLineEdit *m_text7, *m_text8, *m_text9, *m_text10, *m_text11;
    QComboBox *m_combo1, *m_combo2;
    DatePicker *m_dtPicker1;
    // Text7 as the last "?" left it, while it still stands for the boxes' values of then; empty
    // once the user chose to keep it after a change.
    QString m_computedDue;
    // The records the form had in hand at its load or its last save: a file that holds fewer
    // when "添加" reads it again was emptied or cut by someone else, and the add asks first.
    qsizetype m_recordsSeen = 0;
    QPushButton *m_command1, *m_command2, *m_command3;
};
