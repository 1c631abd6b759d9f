#pragma once

#include <QString>

// The texts of the record file a.bz: its reads and writes, its backups, corrections and adds.
namespace StoreText {

// How the messages name a.bz, and the ending of every message that left it as it was.
QString recordFile();
QString recordFileUnchanged();

// A read that failed: the system's reason, and the same ending in "。…未被改动。".
QString cannotRead(const QString &path, const QString &reason);
QString readFailedUnchanged(const QString &readError);
// Reasons for cannotRead when the path holds something other than a file.
QString isFolder();
QString brokenLink(const QString &target);
QString notRegular();
// A file in UTF-8, found when it is read: it is shown as it reads in code page 936.
QString utf8Loaded(const QString &path);
// a.bz was there at the last load and is no more.
QString recordFileGone(const QString &path);
// A correction or deletion in place that found no file, or no longer the record.
QString cannotReadUnchanged(const QString &path);
QString recordGone();

// A save refused before anything is written.
QString unreadableBytes(const QString &shown);
QString unsavableCharacter(const QString &character);
QString utf8File(const QString &path);

// A typed field that cannot be saved; then is what the user does next ("后再添加").
QString fieldTooLong(const QString &name, qsizetype length, qsizetype longest, const QString &then);
QString fieldComma(const QString &name, const QString &then);
QString fieldLineBreak(const QString &name, const QString &then);
QString fieldUnencodable(const QString &name, const QString &character, const QString &then);
QString fieldBestFitted(const QString &name, const QString &character, const QString &savedAs,
                        const QString &then);
QString invalidDueTime(const QString &due);

// "添加": refusals end in notAddedUnchanged(); the outcome; the questions it asks first.
QString beforeAdding();
QString notAddedUnchanged();
QString dueTimeMissing();
QString invalidDueTimeOnAdd(const QString &due);
QString notAdded();
QString noneAdded();
QString added();
QString added(qsizetype count);
QString fewerRecords(qsizetype now, qsizetype before);
QString dueTimeStale(const QString &due);
QString dueTimeNow(const QString &due);
QString recomputeFirst(const QString &due);

// The backups: their folder in the data folder, the occasion in a copy's name, the messages.
QString backupFolder();
QString beforeInitialisation();
QString beforeDeletion();
QString beforeRestore();
QString readOnly();
QString backupNotKept(const QString &folder, const QString &why);
// A deletion, "数据初始化" or a restore given up because the copy it promised could not be made.
QString backupRequired(const QString &folder, const QString &recordPath, const QString &why);
QString cannotReadBackup(const QString &path, const QString &reason);
QString backupTooLarge(const QString &path, qint64 size, qint64 largest);

} // namespace StoreText
