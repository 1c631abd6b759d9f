#include "strengthtablemodel.h"

#include <QBrush>
#include <QColor>

#include <algorithm>

namespace {
const QColor kWrongBox(255, 199, 206);
const QColor kBelowGrade(156, 0, 6);
} // namespace

StrengthTableModel::StrengthTableModel(const QString &grade, QObject *parent)
    : QAbstractTableModel(parent), m_grade(grade)
{
    recompute();
}

void StrengthTableModel::setEntry(const StrengthEntry &entry)
{
    beginResetModel();
    m_entry = entry;
    m_outcome = CubeStrength::evaluate(m_entry, m_grade);
    endResetModel();
    emit recomputed();
}

void StrengthTableModel::setSize(int edge, const QString &factor, StrengthEntry::Unit unit)
{
    const bool unitChanged = unit != m_entry.unit;
    m_entry.edge = edge;
    m_entry.factor = factor;
    m_entry.unit = unit;
    recompute();
    if (unitChanged)
        emit headerDataChanged(Qt::Horizontal, FirstValueColumn, ValueColumn - 1);
}

void StrengthTableModel::recompute()
{
    m_outcome = CubeStrength::evaluate(m_entry, m_grade);
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    emit recomputed();
}

bool StrengthTableModel::hasProblem(int group, int specimen) const
{
    return std::any_of(m_outcome.problems.begin(), m_outcome.problems.end(),
                       [group, specimen](const CubeStrength::Problem &problem) {
                           return problem.group == group && problem.specimen == specimen;
                       });
}

int StrengthTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entry.groups.size());
}

int StrengthTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant StrengthTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int row = index.row(), column = index.column();
    const CubeStrength::Group &group = m_outcome.groups.at(row);
    if (role == Qt::BackgroundRole && column < ValueColumn && hasProblem(row + 1, column + 1))
        return QBrush(kWrongBox);
    if (role == Qt::ForegroundRole && column >= ValueColumn && group.belowGrade())
        return QBrush(kBelowGrade);
    if (role == Qt::ToolTipRole && column == ReasonColumn)
        return group.reason;
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (column) {
    case ValueColumn:
        return group.valueText();
    case PercentColumn:
        return group.percentText();
    case ReasonColumn:
        return group.reason;
    default:
        return m_entry.groups.at(row).at(size_t(column));
    }
}

bool StrengthTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.column() >= ValueColumn)
        return false;
    m_entry.groups[index.row()][size_t(index.column())] = value.toString().trimmed();
    recompute();
    return true;
}

Qt::ItemFlags StrengthTableModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return index.column() < ValueColumn ? flags | Qt::ItemIsEditable : flags;
}

QVariant StrengthTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return QStringLiteral("第 %1 组").arg(section + 1);
    if (section < ValueColumn) {
        const bool byLoad = m_entry.unit == StrengthEntry::Unit::Kilonewton;
        return QStringLiteral("试件 %1（%2）")
            .arg(section + 1)
            .arg(byLoad ? QStringLiteral("kN") : QStringLiteral("MPa"));
    }
    static const QString headers[] = {QStringLiteral("代表值"), QStringLiteral("占设计强度"),
                                      QStringLiteral("说明")};
    return headers[section - ValueColumn];
}
