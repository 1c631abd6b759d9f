#include "recordtablepanel.h"

#include "recordgridmodel.h"
#include "recordgridview.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QVBoxLayout>

namespace {
// Rows holding the text in any cell, read in place: a year's records filter as fast as typed.
class RecordFilter : public QSortFilterProxyModel
{
public:
    RecordFilter(RecordGridModel *grid, QObject *parent)
        : QSortFilterProxyModel(parent), m_grid(grid)
    {
        setSourceModel(grid);
    }
    void setText(const QString &text)
    {
        m_text = text;
        invalidateRowsFilter();
    }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &) const override
    {
        if (m_text.isEmpty())
            return true;
        // Never the spare row, nor the number alone.
        for (int c = 1; c < m_grid->cols(); ++c) {
            if (m_grid->textView(sourceRow + 1, c).contains(m_text, Qt::CaseInsensitive))
                return true;
        }
        return false;
    }

private:
    RecordGridModel *m_grid;
    QString m_text;
};
} // namespace

RecordTablePanel::RecordTablePanel(RecordGridModel *grid, QWidget *parent)
    : QWidget(parent), m_grid(grid)
{
    auto *filter = new RecordFilter(grid, this);
    m_shown = filter;
    m_view = new RecordGridView(grid, this);
    m_view->setObjectName(QStringLiteral("Grid1"));
    m_view->showThrough(m_shown);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    m_view->installEventFilter(this);

    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("filterBox"));
    m_filter->setClearButtonEnabled(true);
    m_filter->setPlaceholderText(QStringLiteral("输入任意内容，只显示含有它的记录"));
    auto *label = new QLabel(QStringLiteral("筛选："), this);
    label->setBuddy(m_filter);
    m_delete = new QPushButton(QStringLiteral("删除此条"), this);
    m_delete->setObjectName(QStringLiteral("deleteRecord"));
    m_delete->setAutoDefault(false);
    m_delete->setEnabled(false);

    auto *top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(m_filter, 1);
    top->addWidget(m_delete);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(m_view, 1);

    connect(m_filter, &QLineEdit::textChanged, this,
            [filter](const QString &text) { filter->setText(text); });
    connect(grid, &RecordGridModel::cellEdited, this, &RecordTablePanel::correctionWanted);
    const auto actNow = [this] { m_delete->setEnabled(chosenRow() > 0); };
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, actNow);
    // A save reads the table again: the cell typed into stays current, and "删除此条" acts only
    // on a record that is chosen.
    connect(grid, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        const QModelIndex current = m_shown->mapToSource(m_view->currentIndex());
        m_keptRow = current.isValid() ? current.row() : -1;
        m_keptColumn = current.column();
    });
    connect(grid, &QAbstractItemModel::modelReset, this, [this, actNow] {
        const QModelIndex kept = m_shown->mapFromSource(m_grid->index(m_keptRow, m_keptColumn));
        if (kept.isValid())
            m_view->setCurrentIndex(kept);
        actNow();
    });
    connect(m_shown, &QAbstractItemModel::rowsRemoved, this, actNow);
    connect(m_delete, &QPushButton::clicked, this, [this] {
        if (const int row = chosenRow())
            emit deletionWanted(row);
    });
}

int RecordTablePanel::chosenRow() const
{
    const QModelIndex current = m_shown->mapToSource(m_view->currentIndex());
    // The spare row holds no record.
    return current.isValid() && current.row() + 2 < m_grid->rows() ? current.row() + 1 : 0;
}

bool RecordTablePanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Delete) && chosenRow() > 0) {
        // (While a cell is being typed into, its keys go to the cell's editor, not here.)
        emit deletionWanted(chosenRow());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
