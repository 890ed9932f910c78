// UNINSTAL.EXE: removes what SETUP.EXE installed, as UNINSTAL.INF beside it (a copy of the setup
// script) tells: the files, the folders that are left empty, the registry values of the script's
// registry section with the keys that are left empty, the joystick values that name the driver,
// and the uninstall entry.
#pragma once

#include <windows.h>

// The whole uninstall, from the Windows-version check to the closing message. Returns the
// process's exit code, always 0.
int RunUninstall(HINSTANCE instance);
