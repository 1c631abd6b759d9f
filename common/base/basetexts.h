#pragma once

#include <QString>

// The texts of whole-file writes, locks and exports, which every file of both programs shares:
// each message names its file by "what" ("记录文件", "提示文件") and its path.
namespace BaseText {

// The ending of every message about a file that was left as it was: "记录文件未被改动。".
QString unchanged(const QString &what);

// A write that found the disk full.
QString diskFull();
// A write refused because the path is a symbolic link to target.
QString symbolicLink(const QString &target);
// A replace that failed, read-only file or otherwise.
QString readOnlyNotSaved(const QString &what, const QString &path);
QString notSaved(const QString &what, const QString &path, const QString &reason);

// Why a folder takes no file, when a lock file could not be made.
QString folderMissing(const QString &folder);
QString notAFolder(const QString &path);
QString cannotCreateIn(const QString &folder, const QString &reason);
QString cannotWriteFolder(const QString &folder, const QString &reason);

// A lock file that could not be made beside path, with the cause found or none.
QString lockNotMade(const QString &what, const QString &path, const QString &why);
QString lockNotMade(const QString &what, const QString &path);
// Another program held the lock for the whole wait.
QString fileBusy(const QString &what, const QString &path);
// Held by a copy on another computer since a time ("yyyy-MM-dd hh:mm").
QString fileBusyElsewhere(const QString &what, const QString &path, const QString &host,
                          const QString &since);

// The schedule's export (CSV and PDF): what names the file, and a character GBK cannot hold.
QString exportFile();
QString unexportable(const QString &character);

} // namespace BaseText
