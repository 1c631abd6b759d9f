#include "processprobe.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QFile>

#include <cerrno>
#include <csignal>
#include <sys/types.h>
#endif

namespace ProcessProbe {

bool hasEnded(qint64 pid)
{
    if (pid <= 0)
        return true;
#ifdef Q_OS_WIN
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
    if (!process)
        return true;
    const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
#else
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
        return true;
#ifdef Q_OS_LINUX
    // A detached process is reaped by whoever adopted it; until then kill() still finds it.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        if (close >= 0 && close + 2 < line.size())
            return line.at(close + 2) == 'Z' || line.at(close + 2) == 'X';
    }
#endif
    return false;
#endif
}

} // namespace ProcessProbe
