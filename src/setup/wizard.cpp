#include "setup/wizard.h"

#include "base/bounded_text.h"
#include "base/resource_ids.h"
#include "base/setup_state.h"
#include "base/text_catalogue.h"
#include "install/copy_page.h"
#include "install/setup_copy.h"
#include "script/script_loader.h"
#include "ui/backdrop.h"
#include "ui/page_host.h"
#include "ui/pages.h"

namespace {

constexpr char kJoystickControlPanel[] = "rundll32.exe shell32.dll,Control_RunDLL JOY.CPL";
// Held by a running SETUP.EXE until its process ends.
constexpr char kRunningMutexName[] = "SETUP.EXE is running";

void ShowWarning(HWND owner, const char* text, const char* caption)
{
    MessageBoxA(owner, text != nullptr ? text : "", caption, MB_ICONWARNING);
}

// True when another SETUP.EXE runs: two at once would write one install record, WININIT.INI and
// the same registry values in turn. The mutex is held to the end of the process.
bool AnotherSetupRuns()
{
    return CreateMutexA(nullptr, FALSE, kRunningMutexName) != nullptr &&
           GetLastError() == ERROR_ALREADY_EXISTS;
}

enum class WizardEnd { Abandoned, HandedOver, Finished };

// The welcome and destination pages: true once the destination is chosen, false on Cancel.
bool ChooseDestination()
{
    for (;;) {
        if (RunPage("SETUP_BEGIN", WelcomePageProc, IDD_WELCOME_PAGE) == kPageCancel) {
            return false;
        }
        const std::int16_t destination =
            RunPage("SETUP_SELDIR", DestinationPageProc, IDD_DESTINATION_PAGE);
        if (destination != kPageBack) {
            return destination != kPageCancel;
        }
    }
}

// The pages in their order. A set that will ask for a disk goes on from a copy of the program
// after the destination page; the copy begins with the copy page.
WizardEnd RunWizardPages()
{
    if (!RunsFromCopy()) {
        if (!ChooseDestination()) {
            return WizardEnd::Abandoned;
        }
        if (HandOverToCopy()) {
            return WizardEnd::HandedOver;
        }
    }
    if (RunPage("SETUP_INSTALL", CopyPageProc, IDD_COPY_PAGE) == kPageCancel) {
        return WizardEnd::Abandoned;
    }
    RunPage("SETUP_END", FinishPageProc, IDD_FINISH_PAGE);
    return WizardEnd::Finished;
}

// The checks before any window: the system, the script, read from the folder of disk 1 (a copy of
// the program that took over is told it, and the destination chosen), and no other setup running.
bool StartUp()
{
    char sourceDir[kPathSize];
    char destDir[kPathSize];
    const bool copy = ReadHandOver(sourceDir, destDir);
    // Only bit 31 tells the Windows 95/98 family from the NT family; a copy was started by a
    // setup that has checked it.
    if (!copy && (GetVersion() & 0x80000000u) == 0) {
        ShowWarning(nullptr, LoadText(IDS_WINDOWS_ONLY), "Warning");
        return false;
    }
    GetWindowsDirectoryA(g_setup.windowsDir, sizeof g_setup.windowsDir);
    if (!LoadSetupScript(copy ? sourceDir : nullptr)) {
        ShowWarning(nullptr, LoadText(IDS_READING_ERROR), g_setup.caption);
        return false;
    }
    // A copy that took over holds the mutex of the setup that started it, and goes on.
    if (AnotherSetupRuns() && !copy) {
        ShowWarning(nullptr, LoadText(IDS_ALREADY_RUNNING), g_setup.caption);
        ReleaseFileTable();
        return false;
    }
    if (copy) {
        CopyText(g_setup.destDir, destDir);
    }
    return true;
}

} // namespace

int RunSetup(HINSTANCE instance)
{
    g_setup.productName[0] = '\0';
    g_setup.instance = instance;
    g_setup.screenWidth = static_cast<std::int16_t>(GetSystemMetrics(SM_CXSCREEN));
    g_setup.screenHeight = static_cast<std::int16_t>(GetSystemMetrics(SM_CYSCREEN));
    if (!StartUp()) {
        LeaveCopyToRestart();
        return 0;
    }
    if (!CreateBackdrop()) {
        ReleaseFileTable();
        LeaveCopyToRestart();
        return 0;
    }

    const WizardEnd end = RunWizardPages();
    ReleaseFileTable();
    LeaveCopyToRestart();
    if (end != WizardEnd::Finished) {
        return 0;
    }
    DestroyWindow(g_setup.mainWindow);

    if (g_setup.restartNow == 1) {
        ExitWindowsEx(EWX_REBOOT, 0);
    } else {
        WinExec(kJoystickControlPanel, SW_SHOW);
    }
    return 0;
}
