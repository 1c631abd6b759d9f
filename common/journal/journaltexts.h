#pragma once

#include <QString>

// The texts of the reminder journal and the lab's settings. A journal that cannot be read or
// written never stops a reminder: its messages end in remindersGoOn().
namespace JournalText {

// How the messages name the lab's settings file.
QString settingsFile();

// The ending of every message about the journal.
QString remindersGoOn();
// The schedule's load found a journal file it cannot read.
QString cannotRead(const QString &path, const QString &reason);
// A damaged journal file: moved aside, or not; its readable lines written back, or not.
QString damagedNotMoved(const QString &path);
QString damagedMoved(const QString &path, const QString &aside);
QString readableNotWrittenBack(const QString &reason);
QString readableKept();
// A reminder or a test mark that could not be written down.
QString cannotWrite(const QString &path, const QString &reason);
// After cannotWrite: entries are held until the journal takes them; then how many were written.
QString keptUntilWritable();
QString writtenAgain(qsizetype count);

} // namespace JournalText
