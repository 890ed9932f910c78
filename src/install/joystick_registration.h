// Makes the installed driver known to the system's joystick configuration and leaves the
// product's uninstall entry.
#pragma once

#include <windows.h>

// Enters g_setup.driverName, g_setup.productName and the configuration block built from
// g_setup.oemData1/oemData2 as the first joystick's settings of every joystick driver key that
// the system lists, then creates the uninstall entry (display name and g_setup.destDir +
// "\UNINSTAL.EXE", quoted when it holds a blank). Failures are passed over; always returns 1.
int RegisterJoystickDriver();
