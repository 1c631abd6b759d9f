#pragma once

#include <QString>

// Where the two programs keep their files. Both programs must come to the same folder by the
// same rule, because the exchange file is the only thing they share.
namespace AppPaths {

// The folder of a.bz and vexa.ini: TARVELIN_DATA_DIR when set (tests, portable set-ups), else
// the application folder when it is writable, else a per-user data folder.
QString dataFolder();

QString recordFile(const QString &folder);   // folder + "/a.bz"
QString reminderFile(const QString &folder); // folder + "/vexa.ini"

// Absolute path of the popup program beside the running program; never looked up on PATH.
QString popupProgram();

} // namespace AppPaths
