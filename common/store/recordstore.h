#pragma once

#include "filelock.h"
#include "packedrow.h"
#include "recordfile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The records of a.bz as the entry form holds them: every filled line in file order.
struct RecordTable
{
    // Per record, its grid row: the number from 1, then the fields a loader shows.
    QList<PackedRow> rows;
    // Per record, RecordLine::keptAsRead of its line: how a line of another width goes back.
    QList<QStringList> asRead;

    qsizetype size() const { return rows.size(); }
    // A new record from its stored fields, numbered after the last.
    void append(const QStringList &stored);
};

// a.bz changed as one step under the lock beside it ("a.bz.lock"): the file is read again,
// changed and saved while no other copy of the program can do the same, so that none of them
// loses another's change. The entry form's table is whatever the last step left.
class RecordStore
{
public:
    // A copy that holds the lock longer than this (a few saves of a large file on a slow share)
    // is taken to be stuck: nothing is written and the user is told.
    static constexpr int DefaultLockWaitMs = 5000;

    // With backups, every save first keeps the file as the day found it (RecordFile).
    explicit RecordStore(QString recordPath, int lockWaitMs = DefaultLockWaitMs,
                         RecordBackups *backups = nullptr);
    const RecordFile &file() const { return m_file; }

    struct Outcome
    {
        bool ok() const { return error.isEmpty(); }
        // Why the file could not be read; for change, why nothing was saved, ending by saying
        // the file was left alone.
        QString error;
        RecordTable table; // the file as saved, when ok
    };

    // Reads the file without the lock: a save replaces it in one step, so a reader sees the old
    // or the new file whole. A missing file is an empty table.
    Outcome load() const;

    // Changes the table read under the lock; an edit that returns a text gives up with that
    // reason (which should say the file was left alone) and nothing is written.
    using Edit = std::function<QString(RecordTable &table)>;
    Outcome change(const Edit &edit) const;

    // The lock that change holds, for the writers that change the file's bytes themselves (a
    // correction in place, "删除过期数据", "数据初始化", a restore): they read, change and replace
    // the file while they hold it. When it is not held, error() is what the user is told (the
    // add's message for a copy that held it the whole wait), and nothing may be written.
    FileLock lock() const;

private:
    RecordFile::Outcome save(const RecordTable &table) const;

    RecordFile m_file;
    int m_lockWaitMs;
};
