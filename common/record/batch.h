#pragma once

#include "specimenrecord.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// One batch of specimens as one value: the ten stored fields of its line in a.bz. Its line (the
// fields joined, then the empty due mark) is also its identity: the journal, the reminder engine
// and the schedule know a batch by it, so a batch is the same batch after any reload.
class Batch
{
public:
    Batch() = default;
    // From a line read as fields, as a grid loaded from them shows it: the stored fields the line
    // has (a short line's missing ones empty; of a long line the first ten).
    static Batch fromFields(const QList<QStringView> &fields);
    static Batch fromLine(QStringView line);

    QString field(SpecimenRecord::Field field) const;
    // A view, not a copy: the monitor compares every batch of the day at every check.
    QStringView dueTime() const
    {
        return m_fields.size() > SpecimenRecord::DueTime ? m_fields.at(SpecimenRecord::DueTime)
                                                         : QStringView();
    }
    const QStringList &storedFields() const { return m_fields; }
    // The batch's line in a.bz without its line break; its identity.
    const QString &line() const { return m_line; }
    // The texts of grid columns 0 to 10, the running number first: how the dispatcher and the
    // messages take a record (SpecimenRecord::summary).
    QStringList cells(const QString &number) const;

    friend bool operator==(const Batch &a, const Batch &b) { return a.m_line == b.m_line; }

private:
    QStringList m_fields;
    QString m_line;
};
