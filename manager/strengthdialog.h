#pragma once

#include "batch.h"
#include "strengthentry.h"

#include <QDialog>

#include <optional>

class Messages;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableView;
class StrengthTableModel;

// "标为已试验" for one batch: the specimens' size and unit, three values for each group of the
// batch (its 组数), each group's value by the standard and its share of the grade as the
// technician types, and a free text. Starts from the batch's latest result, so that a correction
// is a new entry that supersedes it. Saving refuses a wrong box, naming it, and asks first about
// a strength above 150 MPa.
class StrengthDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int MostGroups = 20;

    StrengthDialog(const Batch &batch, const StrengthEntry &latest, Messages *messages,
                   QWidget *parent = nullptr);

    // What to keep: the free text alone when no value was typed.
    StrengthEntry entry() const;
    StrengthTableModel *model() const { return m_model; }

    void accept() override;

private:
    void sizeChanged();
    void showProblems();

    Messages *m_messages;
    std::optional<int> m_grade;
    StrengthTableModel *m_model;
    QComboBox *m_size;
    QSpinBox *m_edge;
    QLineEdit *m_factor;
    QComboBox *m_unit;
    QTableView *m_table;
    QLabel *m_problems;
    QLineEdit *m_freeText;
};
