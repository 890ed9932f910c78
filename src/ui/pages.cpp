// The welcome and finish pages, and the directory test of the destination page.
#include "ui/pages.h"

#include "base/setup_state.h"
#include "base/cancel_notice.h"
#include "ui/page_host.h"
#include "ui/page_ids.h"

namespace {

void StartWelcome(HWND page)
{
    FormatProductText(page, kProductText);
    FormatProductText(page, kWelcomeIntroText);
}

bool WelcomeCommand(HWND page, WPARAM command)
{
    if (command == kNextButton) {
        EndPage(page, kPageNext);
        return true;
    }
    if (command == kCancelButton) {
        CancelSetup(page);
        return true;
    }
    return false;
}

void StartFinish(HWND page)
{
    FormatProductText(page, kProductText);
    CheckRadioButton(page, kRestartNowRadio, kRestartLaterRadio,
                     g_setup.restartNow != 0 ? kRestartNowRadio : kRestartLaterRadio);
}

bool FinishCommand(HWND page, WPARAM command)
{
    if (command != kNextButton) {
        return false;
    }
    if (IsDlgButtonChecked(page, kRestartLaterRadio) == BST_CHECKED) {
        g_setup.restartNow = 0;
    }
    // The finish page leaves the result that the copy page left: the controller reads only
    // restartNow after it.
    EndPage(page, g_setup.pageResult);
    return true;
}

constexpr PageRules kWelcomePage{StartWelcome, WelcomeCommand, kCancelButton, false};
// Closing the finish page is Finish with whichever choice is checked at that moment.
constexpr PageRules kFinishPage{StartFinish, FinishCommand, kNextButton, true};

} // namespace

void CancelSetup(HWND page)
{
    CancelNotice(page);
    EndPage(page, kPageCancel);
}

LRESULT CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PageProcedure(kWelcomePage, page, message, wParam, lParam);
}

LRESULT CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PageProcedure(kFinishPage, page, message, wParam, lParam);
}

bool DirectoryExists(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
