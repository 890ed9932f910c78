#include "ui/browse_dialog.h"

#include "base/bounded_text.h"
#include "base/resource_ids.h"
#include "base/setup_state.h"
#include "base/text_catalogue.h"
#include "ui/destination_rules.h"
#include "ui/page_host.h"

#include <commdlg.h>
#include <dlgs.h>

#include <cstddef>

namespace {

// The path that the dialog shows: the caller's at first, then the directory browsed to.
char g_browsePath[kPathSize];
// The caller's path, which the dialog starts from and OK replaces.
char* g_callersPath = nullptr;

// The request in its Windows 95 form: every field up to the template name, 76 bytes in the
// 32-bit build.
constexpr std::size_t kRequestSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
static_assert(sizeof(void*) != 4 || kRequestSize == 76);

// The dialog needs some file name to accept; this one is never read back. The buffer is
// declared MAX_PATH long so that the platform dialog has room for whatever it writes on OK and
// ends with success.
constexpr char kDummyFileName[] = "12345678.ABC";
constexpr char kInitialDirectory[] = "C:\\";
// Old-style dialog (no OFN_EXPLORER) with our hook and template, no validation of the dummy
// name, and the process's current directory restored afterwards.
constexpr DWORD kBrowseFlags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLEHOOK |
                               OFN_ENABLETEMPLATE | OFN_NOVALIDATE;
static_assert(kBrowseFlags == 0x16C);

// Notification codes of the directory list (lst2) and the drive list (cmb2) that may change
// directory.
constexpr WORD kListSelectionChanged = LBN_SELCHANGE;
constexpr WORD kListDoubleClicked = LBN_DBLCLK;
constexpr WORD kDriveSelectionChanged = CBN_SELCHANGE;

void ShowBrowsePath(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_BROWSE_PATH, g_browsePath);
}

void RefreshFromCurrentDirectory(HWND dialog)
{
    // A directory that does not fit the path buffer leaves the previous path.
    char current[kPathSize];
    const DWORD length = GetCurrentDirectoryA(sizeof current, current);
    if (length != 0 && length < sizeof current) {
        CopyText(g_browsePath, current);
    }
    ShowBrowsePath(dialog);
}

// Keeps the path and the path field in step with the dialog's directory and drive lists.
// Returns 0 for every message, so the platform dialog's own handling always follows.
UINT_PTR CALLBACK BrowseHook(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CopyText(g_browsePath, g_callersPath);
        // Posted, so that it is handled once the platform dialog has set itself up.
        PostMessageA(dialog, WM_SETUP_START, 0, 0);
        break;
    case WM_SETUP_START: {
        ShowBrowsePath(dialog);
        HWND field = GetDlgItem(dialog, IDC_BROWSE_PATH);
        SetFocus(field);
        SendMessageA(field, EM_SETSEL, 0, -1);
        break;
    }
    case WM_COMMAND: {
        const WORD id = LOWORD(wParam);
        const WORD code = HIWORD(wParam);
        if (id == IDOK) {
            // A path too long for the destination is refused whole, and the dialog stays.
            char typed[MAX_PATH];
            GetDlgItemTextA(dialog, IDC_BROWSE_PATH, typed, sizeof typed);
            if (!FitsDestination(typed)) {
                const char* text = LoadText(IDS_PATH_TOO_LONG);
                MessageBoxA(dialog, text != nullptr ? text : "", g_setup.caption, MB_ICONWARNING);
                return 1;
            }
            CopyText(g_browsePath, typed);
        } else if ((id == lst2 && (code == kListSelectionChanged || code == kListDoubleClicked)) ||
                   (id == cmb2 && code == kDriveSelectionChanged)) {
            // Posted, so that it is handled after the platform dialog has acted on the same
            // notification and made any new directory or drive current.
            PostMessageA(dialog, WM_SETUP_REFRESH, 0, 0);
        }
        break;
    }
    case WM_SETUP_REFRESH:
        RefreshFromCurrentDirectory(dialog);
        break;
    default:
        break;
    }
    return 0;
}

} // namespace

void BrowseForDirectory(HWND owner, char (&path)[kPathSize])
{
    g_callersPath = path;
    char fileName[MAX_PATH];
    CopyText(fileName, kDummyFileName);

    OPENFILENAMEA request{};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = owner;
    request.hInstance = g_setup.instance;
    request.lpstrFile = fileName;
    request.nMaxFile = sizeof fileName;
    request.lpstrInitialDir = kInitialDirectory;
    request.Flags = kBrowseFlags;
    request.lpfnHook = BrowseHook;
    request.lpTemplateName = MAKEINTRESOURCEA(IDD_BROWSE);

    // The dialog makes each directory the user moves to current. OFN_NOCHANGEDIR asks it to
    // restore the former one; dialogs that ignore the flag in their old style (Wine's) leave the
    // process in the last directory browsed, so it is restored here as well.
    char formerDirectory[MAX_PATH];
    const DWORD formerLength = GetCurrentDirectoryA(sizeof formerDirectory, formerDirectory);
    const bool accepted = GetOpenFileNameA(&request) != FALSE;
    if (formerLength != 0 && formerLength < sizeof formerDirectory) {
        SetCurrentDirectoryA(formerDirectory);
    }
    if (accepted) {
        CopyText(path, g_browsePath);
    }
}

