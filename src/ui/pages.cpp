// The welcome and finish pages, and the directory test of the destination page.
#include "ui/pages.h"

#include "controller/setup_state.h"
#include "controller/wizard.h"
#include "ui/page_host.h"
#include "ui/page_ids.h"

LRESULT CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message & 0xFFFF) {
    case WM_CREATE:
        InitPageWindow(page);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_SETUP_START:
        FormatProductText(page, kProductText);
        FormatProductText(page, kWelcomeIntroText);
        return 0;
    case WM_COMMAND:
        // Only a click (notification 0 in the high half) counts.
        if (wParam == kNextButton) {
            EndPage(page, kPageNext);
            return 0;
        }
        if (wParam == kCancelButton) {
            CancelNotice(page);
            EndPage(page, kPageCancel);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(page, message, wParam, lParam);
}

LRESULT CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message & 0xFFFF) {
    case WM_CREATE:
        InitPageWindowOnCurrentScreen(page);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_SETUP_START:
        FormatProductText(page, kProductText);
        CheckRadioButton(page, kRestartNowRadio, kRestartLaterRadio,
                         g_setup.restartNow != 0 ? kRestartNowRadio : kRestartLaterRadio);
        return 0;
    case WM_COMMAND:
        if (wParam == kNextButton) {
            // The page leaves no result of its own: the controller only reads restartNow.
            if (IsDlgButtonChecked(page, kRestartLaterRadio) == BST_CHECKED) {
                g_setup.restartNow = 0;
            }
            SendMessageA(page, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(page, message, wParam, lParam);
}

bool DirectoryExists(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
