#pragma once

#include "cubestrength.h"
#include "strengthentry.h"

#include <QAbstractTableModel>

// The groups of a batch's strength result, one row a group: the three values as typed, then the
// group's value, its share of the grade and how it was found, computed again at every change.
class StrengthTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        FirstValueColumn,
        ValueColumn = FirstValueColumn + 3,
        PercentColumn,
        ReasonColumn,
        ColumnCount
    };

    StrengthTableModel(const QString &grade, QObject *parent = nullptr);

    // The typed values, the size and the unit; the groups as given.
    void setEntry(const StrengthEntry &entry);
    const StrengthEntry &entry() const { return m_entry; }
    // The size's boxes and the unit changed.
    void setSize(int edge, const QString &factor, StrengthEntry::Unit unit);
    const CubeStrength::Outcome &outcome() const { return m_outcome; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void recomputed();

private:
    void recompute();
    bool hasProblem(int group, int specimen) const;

    QString m_grade;
    StrengthEntry m_entry;
    CubeStrength::Outcome m_outcome;
};
