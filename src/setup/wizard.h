// Start-up, the order of the wizard pages and the final action.
#pragma once

#include <windows.h>

// The whole setup, from the Windows-version check to the restart or the control panel. Returns
// the process's exit code, always 0.
int RunSetup(HINSTANCE instance);
