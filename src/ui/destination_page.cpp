// The destination page: shows the destination, lets the user browse for another one, and on
// Next checks its form, creates it when asked, and checks the free space of its drive.
#include "controller/bounded_text.h"
#include "controller/setup_state.h"
#include "controller/text_catalogue.h"
#include "controller/wizard.h"
#include "ui/browse_dialog.h"
#include "ui/destination_rules.h"
#include "ui/page_host.h"
#include "ui/page_ids.h"
#include "ui/pages.h"

namespace {

constexpr UINT kQuestionBox = MB_ICONQUESTION | MB_OKCANCEL;
constexpr UINT kWarningBox = MB_ICONWARNING;

int ShowPageMessage(HWND page, unsigned textId, UINT style)
{
    const char* text = LoadText(textId);
    return MessageBoxA(page, text != nullptr ? text : "", g_setup.caption, style);
}

// Only the answer Cancel stops an action.
bool UserCancels(HWND page, unsigned textId)
{
    return ShowPageMessage(page, textId, kQuestionBox) == IDCANCEL;
}

// True when the drive of `rootPath` offers the script's minimum. A drive whose free space cannot
// be read (no such drive, drive not ready) offers none.
bool DriveHasRoom(const char* rootPath)
{
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD totalClusters = 0;
    if (!GetDiskFreeSpaceA(rootPath, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &totalClusters)) {
        return false;
    }
    return HasEnoughSpace(FreeKilobytes(sectorsPerCluster, bytesPerSector, freeClusters),
                          g_setup.minimumSpaceKb);
}

// The checks behind Next. True when the page may end with Next; false when it stays open, after
// whatever message the failed check showed.
bool AcceptDestination(HWND page)
{
    GetDlgItemTextA(page, kDestinationText, g_setup.destDir, sizeof g_setup.destDir);
    char rootPath[kRootPathSize];
    BuildRootPath(g_setup.destDir, rootPath);

    if (!HasDriveForm(g_setup.destDir)) {
        ShowPageMessage(page, kTextCannotCreate, kWarningBox);
        return false;
    }
    if (DirectoryExists(g_setup.destDir)) {
        if (UserCancels(page, kTextDirectoryExists)) {
            return false;
        }
    } else {
        if (UserCancels(page, kTextDirectoryMissing)) {
            return false;
        }
        if (!CreateDirectoryA(g_setup.destDir, nullptr)) {
            ShowPageMessage(page, kTextCannotCreate, kWarningBox);
            return false;
        }
    }
    if (!DriveHasRoom(rootPath)) {
        ShowPageMessage(page, kTextNoFreeSpace, kWarningBox);
        return false;
    }
    return true;
}

} // namespace

LRESULT CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
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
        SetDlgItemTextA(page, kDestinationText, g_setup.destDir);
        return 0;
    case WM_COMMAND:
        // Only a click (notification 0 in the high half) counts.
        if (wParam == kNextButton) {
            // Written before the checks: a failed check leaves it so while the page stays.
            g_setup.pageResult = kPageNext;
            if (AcceptDestination(page)) {
                SendMessageA(page, WM_CLOSE, 0, 0);
            }
            return 0;
        }
        if (wParam == kCancelButton) {
            CancelNotice(page);
            EndPage(page, kPageCancel);
            return 0;
        }
        if (wParam == kBackButton) {
            EndPage(page, kPageBack);
            return 0;
        }
        if (wParam == kBrowseButton) {
            BrowseForDirectory(page);
            SetDlgItemTextA(page, kDestinationText, g_setup.destDir);
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(page, message, wParam, lParam);
}
