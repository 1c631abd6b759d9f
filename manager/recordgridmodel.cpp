#include "recordgridmodel.h"

#include <QGuiApplication>
#include <QPalette>

RecordGridModel::RecordGridModel(int cols, QObject *parent)
    : QAbstractTableModel(parent), m_cols(cols), m_rows(2), m_widths(cols, 0)
{
}

bool RecordGridModel::valid(int row, int col) const
{
    return row >= 0 && row < rows() && col >= 0 && col < m_cols;
}

void RecordGridModel::changed(int row, int col, int role)
{
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, col, col);
        return;
    }
    const QModelIndex at = index(row - 1, col);
    emit dataChanged(at, at, {role});
}

void RecordGridModel::setRows(int count)
{
    count = qMax(count, 1);
    const int old = rows();
    if (count > old) {
        beginInsertRows({}, old - 1, count - 2);
        m_rows.resize(count);
        endInsertRows();
    } else if (count < old) {
        beginRemoveRows({}, count - 1, old - 2);
        m_rows.resize(count);
        endRemoveRows();
    }
}

QString RecordGridModel::textMatrix(int row, int col) const
{
    if (!valid(row, col))
        return {};
    const QStringList &cells = m_rows[row].cells;
    return col < cells.size() ? cells[col] : QString();
}

void RecordGridModel::setTextMatrix(int row, int col, const QString &text)
{
    if (!valid(row, col))
        return;
    QStringList &cells = m_rows[row].cells;
    if (col >= cells.size()) {
        if (text.isEmpty())
            return;
        cells.resize(col + 1);
    }
    cells[col] = text;
    changed(row, col, Qt::DisplayRole);
}

void RecordGridModel::addItem(const QString &text)
{
    setRows(rows() + 1);
    setTextMatrix(rows() - 1, 0, text);
}

void RecordGridModel::replaceBody(QList<QStringList> body)
{
    beginResetModel();
    m_rows.resize(1);
    m_rows.reserve(body.size() + 1);
    for (QStringList &cells : body) {
        if (cells.size() > m_cols)
            cells.resize(m_cols);
        m_rows.append(Row{std::move(cells), {}, {}});
    }
    if (m_rows.size() < 2)
        m_rows.resize(2);
    endResetModel();
}

void RecordGridModel::renumber()
{
    const int last = rows() - 1;
    for (int r = 1; r < last; ++r)
        setTextMatrix(r, 0, QString::number(r));
    if (last >= 1)
        setTextMatrix(last, 0, QString());
}

void RecordGridModel::setColumnWidthTwips(int col, int twips)
{
    if (col < 0 || col >= m_cols)
        return;
    m_widths[col] = twips;
    emit columnWidthChanged(col);
}

int RecordGridModel::columnWidthTwips(int col) const
{
    return (col >= 0 && col < m_cols) ? m_widths[col] : 0;
}

quint32 RecordGridModel::cellForeColour(int row, int col) const
{
    if (!valid(row, col) || m_rows[row].fore.isEmpty())
        return DefaultColour;
    return m_rows[row].fore[col];
}

quint32 RecordGridModel::cellBackColour(int row, int col) const
{
    if (!valid(row, col) || m_rows[row].back.isEmpty())
        return DefaultColour;
    return m_rows[row].back[col];
}

void RecordGridModel::setCellForeColour(int row, int col, quint32 colour)
{
    if (!valid(row, col))
        return;
    QList<quint32> &fore = m_rows[row].fore;
    if (fore.isEmpty()) {
        if (colour == DefaultColour)
            return;
        fore.resize(m_cols, DefaultColour);
    }
    fore[col] = colour;
    changed(row, col, Qt::ForegroundRole);
}

void RecordGridModel::setCellBackColour(int row, int col, quint32 colour)
{
    if (!valid(row, col))
        return;
    QList<quint32> &back = m_rows[row].back;
    if (back.isEmpty()) {
        if (colour == DefaultColour)
            return;
        back.resize(m_cols, DefaultColour);
    }
    back[col] = colour;
    changed(row, col, Qt::BackgroundRole);
}

QColor RecordGridModel::toColor(quint32 colour)
{
    if (colour == DefaultColour)
        return {};
    if (colour & 0x80000000u) {
        const QPalette palette = QGuiApplication::palette();
        switch (colour & 0xFFu) {
        case 13:
            return palette.color(QPalette::Highlight);
        case 14:
            return palette.color(QPalette::HighlightedText);
        case 5:
            return palette.color(QPalette::Base);
        case 8:
            return palette.color(QPalette::Text);
        default:
            return palette.color(QPalette::Button);
        }
    }
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

int RecordGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows() - 1;
}

int RecordGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant RecordGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row() + 1;
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return textMatrix(row, col);
    case Qt::ForegroundRole: {
        const QColor c = toColor(cellForeColour(row, col));
        return c.isValid() ? QVariant(c) : QVariant();
    }
    case Qt::BackgroundRole: {
        const QColor c = toColor(cellBackColour(row, col));
        return c.isValid() ? QVariant(c) : QVariant();
    }
    default:
        return {};
    }
}

QVariant RecordGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return textMatrix(0, section);
    if (role == Qt::ForegroundRole) {
        const QColor c = toColor(cellForeColour(0, section));
        return c.isValid() ? QVariant(c) : QVariant();
    }
    return {};
}
