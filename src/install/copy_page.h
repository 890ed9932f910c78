// The copy page: copies and expands every file of the file table, then writes the registry.
#pragma once

#include <windows.h>

LRESULT CALLBACK CopyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
