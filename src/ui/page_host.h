// Runs wizard pages: modeless dialogs whose window class is registered under the page's name.
#pragma once

#include <windows.h>

#include <cstdint>

// What a wizard page leaves behind (SetupState::pageResult).
enum PageResult : std::int16_t {
    kPageCancel = 0,
    kPageNext = 1,
    kPageBack = 2,
};

// Private messages: the start of a page's work, and the browse dialog's refresh.
constexpr UINT WM_SETUP_START = WM_USER + 100;
constexpr UINT WM_SETUP_REFRESH = WM_USER + 101;

// Registers the page's class, creates the page from its template in front of the backdrop, sends
// it WM_SETUP_START and runs its message loop until the page is gone. Returns the page's result;
// Cancel when the page cannot be created.
std::int16_t RunPage(const char* className, WNDPROC pageProcedure, unsigned templateId);

// The creation step of every page, which the dialogs in the pages' style take too: the product
// name before the caption, one pixel larger in each direction, centred on the screen size
// recorded at start-up.
void InitPageWindow(HWND page);

// Formats a control's text with the product name in place of its "%s".
void FormatProductText(HWND page, int controlId);

// Ends a page with `result`: the page is destroyed, and its WM_DESTROY ends the page loop. Every
// way a page ends comes here; a page that has ended already stays ended with its first result.
void EndPage(HWND page, std::int16_t result);

// What sets one page apart from the others; everything else every page does alike.
struct PageRules {
    // The page's work when the host starts it (WM_SETUP_START).
    void (*start)(HWND page);
    // A command of the page: its whole wParam, so only a click (notification 0) names a button.
    // False for a command that goes on to the default window procedure.
    bool (*command)(HWND page, WPARAM command);
    // The button that closing the page in any other way (Alt+F4, WM_CLOSE or SC_CLOSE from
    // anyone) stands for: what the user would mean by it.
    WPARAM closeMeans;
    // The finish page centres itself on the screen as it is at that moment.
    bool centreOnCurrentScreen;
};

// The window procedure of every page, given its rules: creation, the start of its work, its
// commands, a close from outside, and the quit message when it is destroyed.
LRESULT PageProcedure(const PageRules& rules, HWND page, UINT message, WPARAM wParam,
                      LPARAM lParam);
