// The welcome and finish pages, and the directory test of the destination page.
#include "ui/pages.h"

#include "base/cancel_notice.h"
#include "base/resource_ids.h"
#include "base/setup_state.h"
#include "ui/page_host.h"

namespace {

// The page whose "not completed" notice is up; null when none is.
HWND g_noticeShownFor = nullptr;

void StartWelcome(HWND page)
{
    FormatProductText(page, IDC_PRODUCT_TEXT);
    FormatProductText(page, IDC_WELCOME_INTRO);
}

bool WelcomeCommand(HWND page, WPARAM command)
{
    if (command == IDC_NEXT) {
        EndPage(page, kPageNext);
        return true;
    }
    if (command == IDC_CANCEL) {
        CancelSetup(page);
        return true;
    }
    return false;
}

void StartFinish(HWND page)
{
    FormatProductText(page, IDC_PRODUCT_TEXT);
    CheckRadioButton(page, IDC_RESTART_NOW, IDC_RESTART_LATER,
                     g_setup.restartNow != 0 ? IDC_RESTART_NOW : IDC_RESTART_LATER);
}

bool FinishCommand(HWND page, WPARAM command)
{
    if (command != IDC_FINISH) {
        return false;
    }
    if (IsDlgButtonChecked(page, IDC_RESTART_LATER) == BST_CHECKED) {
        g_setup.restartNow = 0;
    }
    // The finish page leaves the result that the copy page left: the controller reads only
    // restartNow after it.
    EndPage(page, g_setup.pageResult);
    return true;
}

constexpr PageRules kWelcomePage{StartWelcome, WelcomeCommand, IDC_CANCEL, false};
// Closing the finish page is Finish with whichever choice is checked at that moment.
constexpr PageRules kFinishPage{StartFinish, FinishCommand, IDC_FINISH, true};

} // namespace

void CancelSetup(HWND page)
{
    // A close from outside while the notice is up is the same Cancel: the notice shows once.
    if (g_noticeShownFor == page) {
        return;
    }
    g_noticeShownFor = page;
    CancelNotice(page);
    g_noticeShownFor = nullptr;
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
