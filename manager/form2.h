#pragma once

#include "duetime.h"
#include "recordadder.h"
#include "services.h"
#include "specimenrecord.h"

#include <QDialog>

class DatePicker;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class RecordGridModel;
class RecordTablePanel;

// The entry form: one new record per "添加", with its due time from "?", and one more for each
// further age ticked ("另加龄期"), all in the same save. Its table Grid1 (a model
// without a view) holds every record of a.bz; "添加" is RecordAdder's, which reloads the file under
// its lock, appends the new record and saves, so nothing removed or added elsewhere in the
// meantime is lost or brought back. The table then shows the file as saved.
class Form2 : public QDialog
{
    Q_OBJECT

public:
    // Builds the form and loads it: the table from a.bz and the start values from the clock.
    explicit Form2(const ManagerServices &services, QWidget *owner = nullptr);

    RecordGridModel *grid() const { return m_grid; }

    // The fields' height with the row of further ages below them, in twips.
    static constexpr int HeightTwips = 4950;

    // Reads a.bz into Grid1: every line with any filled field, numbered from 1, then the empty
    // spare row. Returns an error text, and leaves the table as it was, when the file exists but
    // cannot be read; a missing file gives an empty table.
    QString daoru();

    // Computes the due time from the boxes into Text7, or says why it cannot.
    void tianjia();

protected:
    // Escape hides the form like "关闭"; Return presses the focused button and nothing else.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_Load();
    void buildControls();
    void buildExtraAges();
    // "按等效养护龄期（600℃·d）", offered for same-condition curing instead of an age in days.
    void buildEquivalentAge();
    // The due time of the equivalent age as the temperature record gives it now.
    // The estimate of the equivalent age for a making time (its date, hour and minute).
    DueTime::Outcome equivalentDue(DueTime::Inputs making) const;
    void placeTable();
    // The table's width and so the form's, for the records loaded and the screen.
    void sizeTable();
    // A cell of the table typed into, a record chosen for deletion: the file changes first, then
    // the table shows the file.
    void correctCell(int row, int col, const QString &text);
    void deleteRecord(int row);
    QStringList storedFieldsOf(int row) const;
    void showOutcome(const QString &error);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    RecordEntry entryFromBoxes() const;
    // first at each ticked age other than its own, due as "?" would put it for that age; a
    // refusal names the age whose due time cannot be computed.
    QList<RecordEntry> extraEntries(const RecordEntry &first, QString *refusal) const;
    DueTime::Inputs inputsFromBoxes() const;
    QString recordPath() const;
    // a.bz with its lock and the backups its changes keep.
    RecordStore recordStore() const;
    void showTable(RecordTable table);
    // False unless the user wants records saved whose due time has passed, or which the file
    // holds already; asks at most once for all of them.
    bool confirmUnusual(const QList<RecordEntry> &entries) const;

    ManagerServices m_services;
    RecordGridModel *m_grid;
    RecordTablePanel *m_table = nullptr;

    QLineEdit *m_text1, *m_text2, *m_text3, *m_text4, *m_text5, *m_text6;
    QLineEdit *m_text7, *m_text8, *m_text9, *m_text10, *m_text11;
    QComboBox *m_combo1, *m_combo2;
    DatePicker *m_dtPicker1;
    // Every box whose text is stored as typed, with its field; the making date comes from the
    // picker, Text4 and Text5 (inputsFromBoxes).
    struct TypedBox
    {
        SpecimenRecord::Field field;
        QWidget *box;
    };
    QList<TypedBox> m_typedBoxes;
    // Text7 as the last "?" left it, while it still stands for the boxes' values of then; empty
    // once the user chose to keep it after a change.
    QString m_computedDue;
    // The records the form had in hand at its load or its last save: a file that holds fewer
    // when "添加" reads it again was emptied or cut by someone else, and the add asks first.
    qsizetype m_recordsSeen = 0;
    QPushButton *m_command1, *m_command2, *m_command3;
    // The further ages, each button's id its number of days; kept ticked after a save, as every
    // box keeps its text for the next batch.
    QButtonGroup *m_extraAges;
    QCheckBox *m_equivalentAge;
};
