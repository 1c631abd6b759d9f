#pragma once

#include "duetime.h"
#include "recordline.h"
#include "recordstore.h"
#include "specimenrecord.h"

#include <QList>
#include <QString>

#include <QStringList>
#include <functional>

class Messages;
class RecordBackups;

// One record as the technician typed it into the entry form, before it is checked.
struct RecordEntry
{
    // The text typed for each stored field, by SpecimenRecord::Field. The making date and the
    // age are not taken from here but from making, as "?" takes them.
    QStringList typed = QStringList(RecordLine::Stored);
    DueTime::Inputs making;
    // Why the typed making date could not be read, when making.makingDate is not valid.
    QString makingDateProblem;
    // The due time "?" computed, while it still stands for the values it was computed from;
    // empty when the due time was typed or kept on purpose.
    QString computedDue;

    QString &operator[](SpecimenRecord::Field field) { return typed[field]; }
    const QString &operator[](SpecimenRecord::Field field) const { return typed[field]; }
    QString &dueTime() { return typed[SpecimenRecord::DueTime]; }
    const QString &dueTime() const { return typed[SpecimenRecord::DueTime]; }

    // The ten stored fields of its line, in file order; the hour and minute in ASCII.
    QStringList storedFields() const;
};

// "添加": checks entries, asks about a due time that no longer matches its making date, time or
// age and about a file that lost records since the caller last saw it, and appends them to a.bz in
// one change of the store (RecordStore::change). Every refusal, question and confirmation
// goes through messages. Nothing is written unless all entries go in, so there is never a half-done
// add to undo.
class RecordAdder
{
public:
    RecordAdder(const QString &recordPath, Messages *messages,
                int lockWaitMs = RecordStore::DefaultLockWaitMs, RecordBackups *backups = nullptr);

    // Why entry may not be added, saying nothing was added; empty when it may.
    static QString refusal(const RecordEntry &entry);

    struct Result
    {
        bool added = false;
        // The entries as they were (to be) saved: a due time recomputed at the user's word, or
        // one kept on purpose (computedDue then empty).
        QList<RecordEntry> entries;
        RecordTable table; // a.bz as saved, when added
    };
    // recordsSeen: how many records the caller last saw in the file (-1: none known). A file
    // holding fewer is said to have lost records, and the user is asked before anything is saved.
    // beforeSaving, when given, sees the entries as they will be saved (a due time recomputed at
    // the user's word included) and may stop the add: the caller's questions about them.
    using Check = std::function<bool(const QList<RecordEntry> &)>;
    Result add(const QList<RecordEntry> &entries, qsizetype recordsSeen = -1,
               const Check &beforeSaving = {});

private:
    // Whether to add to a file holding fewer records than the caller saw.
    static QString fewerRecordsQuestion(qsizetype records, qsizetype recordsSeen);
    // False when the add must stop: the due time came from "?" and no longer matches the
    // entry, and recomputing it (if the user chose to) failed.
    bool offerToRecompute(RecordEntry &entry);

    RecordStore m_store;
    Messages *m_messages;
};
