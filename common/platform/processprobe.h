#pragma once

#include <QtGlobal>

// Whether a process that was started detached has ended, from its process id alone.
namespace ProcessProbe {
// False while the process runs; true once it has ended (a zombie counts as ended). A pid of 0 or
// below names no process and counts as ended.
bool hasEnded(qint64 pid);
} // namespace ProcessProbe
