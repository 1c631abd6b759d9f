#pragma once

#include "packedrow.h"
#include "recordbackups.h"
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

// The one writer of a.bz. Every change (the entry form's add, a correction or deletion in its
// table, "删除过期数据", "数据初始化", a restore) is one rewrite under the lock beside the file
// ("a.bz.lock"): the file is read again, once, changed, kept in the backups, and replaced in one
// atomic write, while no other copy of the program can do the same, so that none of them loses
// another's change.
class RecordStore
{
public:
    // A copy that holds the lock longer than this (a few saves of a large file on a slow share)
    // is taken to be stuck: nothing is written and the user is told.
    static constexpr int DefaultLockWaitMs = 5000;

    // With backups, every rewrite first keeps the file: as the day found it, or for a deletion,
    // "数据初始化" and a restore a copy of its own (RecordBackups).
    explicit RecordStore(QString recordPath, int lockWaitMs = DefaultLockWaitMs,
                         RecordBackups *backups = nullptr);
    const RecordFile &file() const { return m_file; }

    struct Outcome
    {
        bool ok() const { return error.isEmpty(); }
        // Why the file could not be read; for a change, why nothing was saved, ending by saying
        // the file was left alone.
        QString error;
        RecordTable table; // load, change: the file as read or saved, when ok
    };

    // Reads the file without the lock: a rewrite replaces it in one step, so a reader sees the
    // old or the new file whole. A missing file is an empty table.
    Outcome load() const;

    // The rewrite: under the lock, makes of the file's bytes as they are now (none when there is
    // no file; an error when they cannot be read) the bytes that take its place, or gives up with
    // the replacement's error (which should say the file was left alone) and nothing is written.
    using Rewrite = std::function<RecordFile::Replacement(const RecordFile::Bytes &now)>;
    Outcome rewrite(RecordBackups::Occasion occasion, const Rewrite &replace) const;

    // The rewrite of the table read under the lock; an edit that returns a text gives up with
    // that reason (which should say the file was left alone).
    using Edit = std::function<QString(RecordTable &table)>;
    Outcome change(const Edit &edit) const;

    // Puts a backup's bytes in a.bz's place, keeping a.bz as it was first.
    Outcome restore(const QString &backupPath) const;

private:
    RecordFile m_file;
    int m_lockWaitMs;
    RecordBackups *m_backups;
};
