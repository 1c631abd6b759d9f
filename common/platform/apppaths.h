#pragma once

#include <QString>

// Where the two programs keep their files. Both programs must come to the same folder by the
// same rule, because the exchange file is the only thing they share.
namespace AppPaths {

// The folder of a.bz and vexa.ini: the hand-off's (Handoff::dataFolder) when set, else
// the application folder when it is writable and not marked as installed for all users, else
// the per-user data folder.
QString dataFolder();

// The same rule for a given application folder.
QString dataFolderFor(const QString &appFolder);

// The per-user data folder (~/.local/share/Tarvelin, %LOCALAPPDATA%\Tarvelin), the same for
// both programs whatever their own names; made when missing.
QString userDataFolder();

// A file of this name beside the programs marks a copy installed for all users: its data go
// to each user's own folder even when the user may write beside the programs (root, an
// administrator). Install rules put it there; a portable copy has none.
inline constexpr char userFolderMarker[] = "data-in-user-folder.txt";

QString recordFile(const QString &folder);   // folder + "/a.bz"
QString reminderFile(const QString &folder); // folder + "/vexa.ini"
// folder + "/温度记录.csv", the daily mean temperatures of same-condition curing
QString temperatureFile(const QString &folder);

// Absolute path of the popup program beside the running program; never looked up on PATH.
QString popupProgram();

} // namespace AppPaths
