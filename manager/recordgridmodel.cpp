#include "recordgridmodel.h"

#include "specimenrecord.h"

#include <QGuiApplication>
#include <QPalette>

RecordGridModel::RecordGridModel(int cols, QObject *parent)
    : QAbstractTableModel(parent), m_cols(cols), m_rows(2), m_widths(cols, 0)
{
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
        m_rows.resize(size_t(count));
        endInsertRows();
    } else if (count < old) {
        beginRemoveRows({}, count - 1, old - 2);
        m_rows.resize(size_t(count));
        endRemoveRows();
    }
}

QString RecordGridModel::textMatrix(int row, int col) const
{
    return textView(row, col).toString();
}

void RecordGridModel::setTextMatrix(int row, int col, const QString &text)
{
    if (!valid(row, col))
        return;
    PackedRow &cells = m_rows[size_t(row)].cells;
    // Unchanged text needs no repacking and no repaint (renumbering a loaded table).
    if (cells.at(col) == text)
        return;
    cells.set(col, text);
    changed(row, col, Qt::DisplayRole);
}

void RecordGridModel::addItem(const QString &text)
{
    setRows(rows() + 1);
    setTextMatrix(rows() - 1, 0, text);
}

void RecordGridModel::replaceBody(const QList<QStringList> &body)
{
    QList<PackedRow> packed;
    packed.reserve(body.size());
    for (const QStringList &cells : body)
        packed.append(PackedRow(cells));
    replacePackedBody(std::move(packed));
}

void RecordGridModel::replacePackedBody(QList<PackedRow> body)
{
    beginResetModel();
    m_rows.resize(1);
    m_rows.reserve(size_t(body.size()) + 1);
    for (PackedRow &cells : body) {
        cells.truncate(m_cols);
        m_rows.push_back(Row{std::move(cells), nullptr});
    }
    // Releases the given rows' strings now that the grid holds them.
    body.clear();
    if (m_rows.size() < 2)
        m_rows.resize(2);
    endResetModel();
}

namespace {
// Whether text is the decimal text of n, without making a string: a loaded table of 100,000
// rows comes numbered already.
bool isNumberText(QStringView text, int n)
{
    char16_t digits[12];
    qsizetype start = sizeof digits / sizeof *digits;
    do {
        digits[--start] = char16_t(u'0' + n % 10);
        n /= 10;
    } while (n > 0);
    return text == QStringView(digits + start, digits + sizeof digits / sizeof *digits);
}
} // namespace

void RecordGridModel::markDue(int row)
{
    for (int c = 1; c < m_cols; ++c) {
        setCellForeColour(row, c, Yellow);
        setCellBackColour(row, c, SystemHighlight);
    }
    setTextMatrix(row, SpecimenRecord::DueMarkColumn, SpecimenRecord::dueMarkText());
}

void RecordGridModel::renumber()
{
    const int last = rows() - 1;
    for (int r = 1; r < last; ++r) {
        if (!isNumberText(textView(r, 0), r))
            setTextMatrix(r, 0, QString::number(r));
    }
    if (last >= 1)
        setTextMatrix(last, 0, QString());
}

void RecordGridModel::layOutRecordColumns()
{
    for (const SpecimenRecord::ColumnWidth &width : SpecimenRecord::columnWidths())
        setColumnWidthTwips(width.column, width.twips);
    const QStringList headers = SpecimenRecord::gridHeaders();
    for (int c = 0; c < headers.size(); ++c)
        setTextMatrix(0, c, headers[c]);
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

const QList<quint32> *RecordGridModel::colours(int row, bool fore) const
{
    const Colours *colours = m_rows[size_t(row)].colours.get();
    if (!colours)
        return nullptr;
    const QList<quint32> &list = fore ? colours->fore : colours->back;
    return list.isEmpty() ? nullptr : &list;
}

quint32 RecordGridModel::cellForeColour(int row, int col) const
{
    if (!valid(row, col))
        return DefaultColour;
    const QList<quint32> *fore = colours(row, true);
    return fore ? (*fore)[col] : DefaultColour;
}

quint32 RecordGridModel::cellBackColour(int row, int col) const
{
    if (!valid(row, col))
        return DefaultColour;
    const QList<quint32> *back = colours(row, false);
    return back ? (*back)[col] : DefaultColour;
}

void RecordGridModel::setColour(int row, int col, quint32 colour, bool fore)
{
    if (!valid(row, col))
        return;
    std::unique_ptr<Colours> &colours = m_rows[size_t(row)].colours;
    if (!colours) {
        if (colour == DefaultColour)
            return;
        colours = std::make_unique<Colours>();
    }
    QList<quint32> &list = fore ? colours->fore : colours->back;
    if (list.isEmpty()) {
        if (colour == DefaultColour)
            return;
        list.resize(m_cols, DefaultColour);
    }
    list[col] = colour;
    changed(row, col, fore ? Qt::ForegroundRole : Qt::BackgroundRole);
}

void RecordGridModel::setCellForeColour(int row, int col, quint32 colour)
{
    setColour(row, col, colour, true);
}

void RecordGridModel::setCellBackColour(int row, int col, quint32 colour)
{
    setColour(row, col, colour, false);
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
    const bool tested = m_tested && (role == Qt::DisplayRole || role == Qt::BackgroundRole) &&
                        row + 1 < rows() && m_tested(row);
    switch (role) {
    case Qt::DisplayRole: {
        const QString text = SpecimenRecord::shown(textMatrix(row, col));
        if (!tested || col != SpecimenRecord::DueMarkColumn)
            return text;
        return text.isEmpty() ? testedMark() : text + QStringLiteral("，") + testedMark();
    }
    case Qt::EditRole:
        return textMatrix(row, col);
    case Qt::ForegroundRole: {
        const QColor c = toColor(cellForeColour(row, col));
        return c.isValid() ? QVariant(c) : QVariant();
    }
    case Qt::BackgroundRole: {
        if (tested)
            return QColor(198, 239, 206); // a pale green, apart from the due yellow and red
        const QColor c = toColor(cellBackColour(row, col));
        return c.isValid() ? QVariant(c) : QVariant();
    }
    case Qt::ToolTipRole: {
        const QString tip = m_toolTips ? m_toolTips(row) : QString();
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    default:
        return {};
    }
}

void RecordGridModel::lookAgain()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

QString RecordGridModel::testedMark()
{
    return QStringLiteral("已试验");
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

Qt::ItemFlags RecordGridModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    // The number and the due mark are the grid's own, never typed.
    const int col = index.column();
    if (m_editable && col >= SpecimenRecord::column(SpecimenRecord::WorksPart) &&
        col <= SpecimenRecord::column(SpecimenRecord::Remark) && index.row() + 2 < rows())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool RecordGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString text = value.toString();
    if (text != textMatrix(index.row() + 1, index.column()))
        emit cellEdited(index.row() + 1, index.column(), text);
    return false;
}
