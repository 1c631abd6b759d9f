#include "sessionbus.h"

#include <QtGlobal>

void preventSessionBusAutolaunch()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // An address of no known kind: the library's connection fails at once and starts nothing.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
#endif
}
