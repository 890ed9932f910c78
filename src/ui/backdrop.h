// The full-screen gradient window behind every page.
#pragma once

#include <windows.h>

// Creates and shows the backdrop and stores it in g_setup.mainWindow. Returns 1 when the window
// exists, 0 otherwise.
int CreateBackdrop();

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
