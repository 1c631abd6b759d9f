#pragma once

#include <QTableView>

class RecordGridModel;

// Shows a RecordGridModel: row 0 as the header, column widths from the model's twips.
class RecordGridView : public QTableView
{
    Q_OBJECT

public:
    explicit RecordGridView(RecordGridModel *model, QWidget *parent = nullptr);

    // The grid's text font: SimSun 12 pt where installed, otherwise a CJK font of the system.
    static QFont gridFont();

    // The row at the far end of the user's selection (0 when nothing is selected).
    int rowSel() const;

private:
    void applyWidth(int col);

    RecordGridModel *m_model;
};
