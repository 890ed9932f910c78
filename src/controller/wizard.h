// Start-up, the order of the wizard pages and the final action.
#pragma once

#include <windows.h>

// The whole setup, from the Windows-version check to the restart or the control panel. Returns
// the process's exit code, always 0.
int RunSetup(HINSTANCE instance);

// Tells the user that the installation is not completed.
void CancelNotice(HWND owner);

// Page names and their templates.
constexpr unsigned kWelcomeTemplate = 101;
constexpr unsigned kFinishTemplate = 102;
constexpr unsigned kCopyTemplate = 103;
constexpr unsigned kDestinationTemplate = 107;
