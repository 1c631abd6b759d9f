#pragma once

#include "columnfit.h"

#include <QTableView>
#include <QTimer>

class RecordGridModel;

// Shows a RecordGridModel: row 0 as the header, the number column fixed at the left while the
// others scroll (a second view laid over the first column), and the columns as wide as their
// header and cells need: at least the model's twips, at most a limit, narrower only when the
// whole row would not fit otherwise (ColumnFit).
class RecordGridView : public QTableView
{
    Q_OBJECT

public:
    explicit RecordGridView(RecordGridModel *model, QWidget *parent = nullptr);

    // The grid's text font: SimSun 12 pt where installed, otherwise a CJK font of the system.
    static QFont gridFont();

    // The row at the far end of the user's selection (0 when nothing is selected).
    int rowSel() const;

    // The width that shows every column as wide as it wants, frame and scroll bar included.
    int naturalWidth() const;

    // Shows the grid through another model over it (a filter); the columns stay the grid's.
    void showThrough(QAbstractItemModel *shown);

    // The view that keeps the number column in place.
    QTableView *fixedColumn() const { return m_fixed; }

    // Lays the columns out again for the present texts and width; runs by itself after changes.
    void fitColumns();

    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void updateGeometries() override;

private:
    void buildFixedColumn();
    void shareWithFixedColumn();
    void placeFixedColumn();
    QList<ColumnFit::Column> measure() const;
    int widthLimit() const;

    RecordGridModel *m_model;
    QTableView *m_fixed = nullptr;
    QTimer m_refit; // gathers a reload's many cell changes into one layout
    bool m_fitting = false;
};
