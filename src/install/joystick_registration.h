// Makes the installed driver known to the system's joystick configuration and leaves the
// product's uninstall entry.
#pragma once

#include <windows.h>

// Opens the settings key of every joystick driver that the system lists, in turn, and hands it
// to `action` with its path below HKEY_LOCAL_MACHINE. A settings key is only opened, never
// created: a driver without one is passed over. The listing ends at the first index that gives no
// name, a name too long for its holder included.
void ForEachJoystickSettingsKey(void (*action)(HKEY settings, const char* path));

// Enters g_setup.driverName, g_setup.productName and the configuration block built from
// g_setup.oemData1/oemData2 as the first joystick's settings of every joystick driver key that
// the system lists, then creates the uninstall entry (display name and g_setup.destDir +
// "\UNINSTAL.EXE"). Failures are passed over; always returns 1.
int RegisterJoystickDriver();
