// Runs wizard pages: modeless dialogs whose window class is registered under the page's name.
#pragma once

#include <windows.h>

#include <cstdint>

// Registers the page's class, creates the page from its template in front of the backdrop, sends
// it WM_SETUP_START and runs its message loop until the page is gone. Returns the page's result;
// Cancel when the page cannot be created.
std::int16_t RunPage(const char* className, WNDPROC pageProcedure, unsigned templateId);

// The creation step of every page: product name in the caption, one pixel larger in each
// direction, centred on the screen size recorded at start-up.
void InitPageWindow(HWND page);

// The same, centred on the screen size that the platform reports now.
void InitPageWindowOnCurrentScreen(HWND page);

// Formats a control's text with the product name in place of its "%s".
void FormatProductText(HWND page, int controlId);

// Ends a page with `result`: the default handling of WM_CLOSE destroys the page, and its
// WM_DESTROY ends the page loop.
void EndPage(HWND page, std::int16_t result);
