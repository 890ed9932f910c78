// The destination page: shows the destination, lets the user browse for another one, and on
// Next checks its form, creates it when asked, and checks the free space of its drive.
#include "base/bounded_text.h"
#include "base/cancel_notice.h"
#include "base/resource_ids.h"
#include "base/setup_state.h"
#include "base/text_catalogue.h"
#include "ui/browse_dialog.h"
#include "ui/destination_rules.h"
#include "ui/page_host.h"
#include "ui/pages.h"

namespace {

constexpr UINT kQuestionBox = MB_ICONQUESTION | MB_OKCANCEL;
constexpr UINT kWarningBox = MB_ICONWARNING;

int ShowPageMessage(HWND page, unsigned textId, UINT style)
{
    const char* text = LoadText(textId);
    return MessageBoxA(page, text != nullptr ? text : "", g_setup.caption, style);
}

// Only the answer Cancel stops an action, or a page that was closed while the question was up.
bool UserCancels(HWND page, unsigned textId)
{
    return ShowPageMessage(page, textId, kQuestionBox) == IDCANCEL || !IsWindow(page);
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
    // A destination that does not fit its 79 characters is refused whole, never cut to another
    // folder.
    char typed[MAX_PATH];
    GetDlgItemTextA(page, IDC_DESTINATION_TEXT, typed, sizeof typed);
    if (!FitsDestination(typed)) {
        ShowPageMessage(page, IDS_PATH_TOO_LONG, kWarningBox);
        return false;
    }
    CopyText(g_setup.destDir, typed);
    char rootPath[kRootPathSize];
    BuildRootPath(g_setup.destDir, rootPath);

    if (!HasDriveForm(g_setup.destDir)) {
        ShowPageMessage(page, IDS_CANNOT_CREATE, kWarningBox);
        return false;
    }
    if (DirectoryExists(g_setup.destDir)) {
        if (UserCancels(page, IDS_DIRECTORY_EXISTS)) {
            return false;
        }
    } else {
        if (UserCancels(page, IDS_DIRECTORY_MISSING)) {
            return false;
        }
        if (!CreateDirectoryA(g_setup.destDir, nullptr)) {
            ShowPageMessage(page, IDS_CANNOT_CREATE, kWarningBox);
            return false;
        }
        CopyText(g_setup.madeDestination, g_setup.destDir);
    }
    if (!DriveHasRoom(rootPath)) {
        ShowPageMessage(page, IDS_NO_FREE_SPACE, kWarningBox);
        return false;
    }
    return true;
}

void StartDestination(HWND page)
{
    FormatProductText(page, IDC_PRODUCT_TEXT);
    SetDlgItemTextA(page, IDC_DESTINATION_TEXT, g_setup.destDir);
}

bool DestinationCommand(HWND page, WPARAM command)
{
    switch (command) {
    case IDC_NEXT:
        if (AcceptDestination(page)) {
            EndPage(page, kPageNext);
        }
        return true;
    case IDC_CANCEL:
        CancelSetup(page);
        return true;
    case IDC_BACK:
        EndPage(page, kPageBack);
        return true;
    case IDC_BROWSE_BUTTON:
        BrowseForDirectory(page);
        SetDlgItemTextA(page, IDC_DESTINATION_TEXT, g_setup.destDir);
        return false; // and on to the default window procedure
    default:
        return false;
    }
}

constexpr PageRules kDestinationPage{StartDestination, DestinationCommand, IDC_CANCEL, false};

} // namespace

LRESULT CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PageProcedure(kDestinationPage, page, message, wParam, lParam);
}
