#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class RecordGridModel;
class RecordGridView;

// The entry form's table of every record, at the form's right: the records that hold a typed
// text anywhere (a box above the table), a cell corrected in place, a record deleted. The panel
// only asks; the form checks, saves and then changes the table.
class RecordTablePanel : public QWidget
{
    Q_OBJECT

public:
    RecordTablePanel(RecordGridModel *grid, QWidget *parent = nullptr);

    RecordGridView *view() const { return m_view; }
    QLineEdit *filterBox() const { return m_filter; }
    // The grid row of the record chosen in the table; 0 when none is.
    int chosenRow() const;

signals:
    // The user typed text into the cell of the grid's row and column.
    void correctionWanted(int row, int col, const QString &text);
    // The user asked to delete the record of the grid's row.
    void deletionWanted(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    RecordGridModel *m_grid;
    QSortFilterProxyModel *m_shown;
    RecordGridView *m_view;
    QLineEdit *m_filter;
    QPushButton *m_delete;
    // The cell that was current when the table was read again: current again afterwards.
    int m_keptRow = -1;
    int m_keptColumn = -1;
};
