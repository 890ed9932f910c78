#include "ui/disk_dialog.h"

#include "base/bounded_text.h"
#include "base/resource_ids.h"
#include "base/setup_state.h"
#include "base/text_catalogue.h"
#include "ui/browse_dialog.h"
#include "ui/page_host.h"

namespace {

constexpr char kDiskClass[] = "SETUP_DISK";
// The question with a label of 39 characters at the most, and whatever wsprintfA may write.
constexpr std::size_t kQuestionSize = 1025;

// The question being asked.
const char* g_label = nullptr;
char* g_folder = nullptr;
bool (*g_found)(const char* folder) = nullptr;

const char* Text(unsigned id)
{
    const char* text = LoadText(id);
    return text != nullptr ? text : "";
}

// The path field's text, without a backslash at its end. False when it does not fit a path.
bool TypedFolder(HWND dialog, char (&folder)[kPathSize])
{
    char typed[MAX_PATH];
    GetDlgItemTextA(dialog, IDC_DISK_PATH, typed, sizeof typed);
    std::size_t length = TextLength(typed);
    while (length > 0 && typed[length - 1] == '\\') {
        typed[--length] = '\0';
    }
    return CopyText(folder, typed);
}

void StartQuestion(HWND dialog)
{
    InitPageWindow(dialog);
    char question[kQuestionSize];
    wsprintfA(question, Text(IDS_INSERT_DISK), g_label);
    SetDlgItemTextA(dialog, IDC_DISK_QUESTION, question);
    SetDlgItemTextA(dialog, IDC_DISK_PATH, g_folder);
}

INT_PTR CALLBACK DiskQuestionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        StartQuestion(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) {
        return FALSE;
    }
    char folder[kPathSize];
    switch (LOWORD(wParam)) {
    case IDOK:
        if (TypedFolder(dialog, folder) && g_found(folder)) {
            CopyText(g_folder, kPathSize, folder);
            EndDialog(dialog, IDOK);
        } else {
            SetDlgItemTextA(dialog, IDC_DISK_NOT_THERE, Text(IDS_DISK_NOT_THERE));
        }
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case IDC_DISK_BROWSE:
        GetDlgItemTextA(dialog, IDC_DISK_PATH, folder, sizeof folder);
        BrowseForDirectory(dialog, folder);
        SetDlgItemTextA(dialog, IDC_DISK_PATH, folder);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

bool AskForDisk(HWND owner, const char* label, char (&folder)[kPathSize],
                bool (*found)(const char* folder))
{
    // A dialog class of its own, which the dialog manager's window procedure serves.
    WNDCLASSA diskClass{};
    diskClass.lpfnWndProc = DefDlgProcA;
    diskClass.cbWndExtra = DLGWINDOWEXTRA;
    diskClass.hInstance = g_setup.instance;
    diskClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    diskClass.lpszClassName = kDiskClass;
    RegisterClassA(&diskClass);

    g_label = label;
    g_folder = folder;
    g_found = found;
    return DialogBoxParamA(g_setup.instance, MAKEINTRESOURCEA(IDD_DISK_QUESTION), owner,
                           DiskQuestionProc, 0) == IDOK;
}
