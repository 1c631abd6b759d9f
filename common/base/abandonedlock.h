#pragma once

#include <QString>

// A process killed between creating a lock file and writing its name into it leaves an empty file,
// which QLockFile takes for a live lock (for 30 seconds, or for ever with a stale time of 0).
// Writing the name takes microseconds, so an empty lock file a second old is abandoned. Removing it
// with QLockFile::removeStaleLockFile() still fails while a live process holds the file's native
// lock, so a holder is never robbed.
bool isAbandonedLockFile(const QString &lockPath);
