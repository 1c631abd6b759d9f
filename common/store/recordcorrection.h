#pragma once

#include "specimenrecord.h"

#include <QString>
#include <QStringList>

class RecordStore;

// A record of a.bz corrected or deleted where it stands. In one rewrite of the store its line is
// found again by its bytes in the file as it is now, so that what was added or deleted elsewhere
// since stays as it was left, and is replaced (or taken out with its line break) in one atomic
// write: every other byte of the file stays as it was. A record no longer in the file is said so,
// and nothing is written; nor is anything when another copy holds the lock the whole wait.
namespace RecordCorrection {

// Why value may not stand in a field of a record named name: a comma or a line break would split
// the record, and the file holds code page 936 only. Empty when it may. then ends the advice
// ("后再添加": "请去掉逗号…后再添加。").
QString fieldRefusal(const QString &name, const QString &value, const QString &then);

// The same for a field of the table, the due time also a real "YYYY-MM-DD hh:mm"; the reason
// ends by saying the file was left alone.
QString refusal(SpecimenRecord::Field field, const QString &value);

struct Outcome
{
    bool ok() const { return error.isEmpty(); }
    QString error; // why nothing was written, ending by saying so
};

// stored: the record's ten stored fields, as the table showed them. Given the store's backups, a
// correction first keeps the day's copy of the file, a deletion a copy of its own.
Outcome correct(const RecordStore &store, const QStringList &stored, SpecimenRecord::Field field,
                const QString &value);
// The same for several fields at once (a corrected age and the due time it gives): corrected
// holds the ten stored fields as they are to be.
Outcome correct(const RecordStore &store, const QStringList &stored, const QStringList &corrected);
Outcome remove(const RecordStore &store, const QStringList &stored);

// Due times moved where their records stand, all in one rewrite: each record's line found again
// by its bytes and its due time replaced, every other byte as it was. moved receives the indexes
// of the changes whose record the file still holds; when it holds none, nothing is written and
// nothing is wrong.
struct DueChange
{
    QStringList stored;
    QString dueTime;
};
Outcome moveDueTimes(const RecordStore &store, const QList<DueChange> &changes,
                     QList<qsizetype> *moved);

} // namespace RecordCorrection
