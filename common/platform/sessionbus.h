#pragma once

// Without a session bus (no DBUS_SESSION_BUS_ADDRESS, as on a kiosk login or in a service), the
// D-Bus library Qt uses on Linux tries to start one by running "dbus-launch", searched along the
// PATH: a dozen failed program starts for every popup, and whatever a "dbus-launch" earlier in the
// PATH is would run. Called before the application object is made, this tells the library there
// is no bus to start; a desktop session's own bus is left as it is. Elsewhere it does nothing.
void preventSessionBusAutolaunch();
