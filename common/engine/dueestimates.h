#pragma once

#include "equivalentage.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class RecordStore;
class ReminderJournal;

// The due times of the records tested at their equivalent age, kept at the present estimate.
// A record whose age field is "600℃·d", that was not reminded nor marked tested (the journal
// knows), and whose estimate is no longer its due time, gets the new due time in a.bz: all of
// them in one rewrite of the store, so under its lock and after its backup.
namespace DueEstimates {

struct Moved
{
    QString record; // its works part, grade, mix and making date
    QString from, to;
};
struct Outcome
{
    QList<Moved> moved;
    QStringList problems; // a.bz not written, journal files set aside
};
Outcome update(const RecordStore &store, const EquivalentAge::Means &means,
               ReminderJournal &journal, const QDateTime &now);

// The one message that names every batch moved and its new due time.
QString movedText(const QList<Moved> &moved);

} // namespace DueEstimates
