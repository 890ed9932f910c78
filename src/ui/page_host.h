// Runs wizard pages: modeless dialogs whose window class is registered under the page's name.
#pragma once

#include <windows.h>

#include <cstdint>

// Registers the page's class, creates the page from its template in front of the backdrop, sends
// it WM_SETUP_START and runs its message loop until the page is gone. Returns the page's result.
std::int16_t RunPage(const char* className, WNDPROC pageProcedure, unsigned templateId);

// The creation step of every page: product name in the caption, centred on the screen.
void InitPageWindow(HWND page);

// Formats a control's text with the product name in place of its "%s".
void FormatProductText(HWND page, int controlId);
