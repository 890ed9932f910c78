// The welcome, destination and finish pages.
#pragma once

#include <windows.h>

LRESULT CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Cancel on the welcome or destination page: the notice that the installation is not completed,
// then the page ends with Cancel.
void CancelSetup(HWND page);

// True when `path` names an existing directory.
bool DirectoryExists(const char* path);
