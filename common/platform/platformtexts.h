#pragma once

#include <QString>

// The texts of starting with the system: the settings window's "设置开机自启动" shows them.
namespace PlatformText {

// The comment of the desktop entry, which a desktop shows in its list of programs started.
QString autostartComment();

// The endings of every failure to register or to remove.
QString autostartNotSet();
QString autostartNotCancelled();

// Windows: the machine's Run key refused, the user's taken instead (a notice), or neither.
QString autostartForUserOnly();
QString registryNotWritten();
QString machineEntryNotRemoved();
QString userEntryNotRemoved();

// Elsewhere: the desktop entry in the user's autostart folder.
QString folderNotMade(const QString &folder);
QString readOnlyFile();
QString entryNotWritten(const QString &path, const QString &reason);
QString entryNotRemoved(const QString &path, const QString &reason);

} // namespace PlatformText
