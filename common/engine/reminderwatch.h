#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

class ReminderJournal;

// What was never reminded. Every reminder given is in the journal, so a record whose due minute
// has passed and that the journal does not know was never told, whatever kept it from its minute:
// the computer off or asleep for days, a record saved after its minute, the clock moved, the
// record file away for a while. The watch tells each such record once, at start-up and whenever
// it resumes.
namespace ReminderWatch {

// The first due minute the watch answers for: the overdue span before now, or since when it
// watched when that is later, so that a first start over years of records lists only the span
// and a span made longer later does not bring back what went before.
QString horizon(const QString &watchedSince, const QDateTime &now, int overdueDays);

struct Due
{
    QString key;     // the record's line, as the journal knows it
    QString dueTime; // "YYYY-MM-DD hh:mm"
    friend bool operator==(const Due &a, const Due &b)
    {
        return a.key == b.key && a.dueTime == b.dueTime;
    }
};

struct Scan
{
    QString error; // set, naming the file, when the record file exists but cannot be read
    QList<Due> records;
};
// The records of the record file due in [from, before), month by month, in file order within a
// month. Only the lines kept are decoded: the due time is found in the file's bytes.
Scan scanDue(const QString &recordFile, const QString &from, const QString &before);

// Of records, those due from horizon up to (not including) the present minute that the journal
// does not know, each once, in due-time order. The present minute is the live check's.
QList<Due> neverReminded(const QList<Due> &records, const ReminderJournal &journal,
                         const QString &horizon, const QDateTime &now);

// The lab's day at a glance: batches due today not marked tested yet, and those of the days
// before, within the overdue span, still not marked tested.
struct Glance
{
    int todayLeft = 0;
    int overdue = 0;
    QString text() const; // "今天待试验 n 批，逾期未试 m 批"
};
// The records to count are those the scan finds from the span's first day up to tomorrow.
QString glanceFrom(const QDateTime &now, int overdueDays);
QString glanceBefore(const QDateTime &now);
Glance glance(const QList<Due> &records, const ReminderJournal &journal, const QDateTime &now);

} // namespace ReminderWatch
