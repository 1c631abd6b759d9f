#include "recordgridview.h"

#include "recordgridmodel.h"
#include "twips.h"

#include <QFontDatabase>
#include <QHeaderView>

RecordGridView::RecordGridView(RecordGridModel *model, QWidget *parent)
    : QTableView(parent), m_model(model)
{
    setModel(model);
    setFont(gridFont());
    horizontalHeader()->setFont(gridFont());
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    connect(model, &RecordGridModel::columnWidthChanged, this, &RecordGridView::applyWidth);
    for (int c = 0; c < model->cols(); ++c)
        applyWidth(c);
}

QFont RecordGridView::gridFont()
{
    const QStringList installed = QFontDatabase::families();
    const QStringList preferred = {
        QStringLiteral("SimSun"),           QStringLiteral("宋体"),
        QStringLiteral("NSimSun"),          QStringLiteral("WenQuanYi Micro Hei"),
        QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC")};
    for (const QString &family : preferred) {
        if (installed.contains(family))
            return QFont(family, 12);
    }
    QFont font;
    font.setPointSize(12);
    return font;
}

int RecordGridView::rowSel() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void RecordGridView::applyWidth(int col)
{
    const int twips = m_model->columnWidthTwips(col);
    if (twips > 0)
        setColumnWidth(col, Twips::toPixels(twips));
}
