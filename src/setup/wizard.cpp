#include "setup/wizard.h"

#include "base/resource_ids.h"
#include "base/setup_state.h"
#include "base/text_catalogue.h"
#include "install/copy_page.h"
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
// the same registry values in turn. The first one's mutex is left to the end of its process.
bool AnotherSetupRuns()
{
    return CreateMutexA(nullptr, FALSE, kRunningMutexName) != nullptr &&
           GetLastError() == ERROR_ALREADY_EXISTS;
}

enum class WizardEnd { Abandoned, Finished };

WizardEnd RunWizardPages()
{
    for (;;) {
        if (RunPage("SETUP_BEGIN", WelcomePageProc, IDD_WELCOME_PAGE) == kPageCancel) {
            return WizardEnd::Abandoned;
        }
        const std::int16_t destination =
            RunPage("SETUP_SELDIR", DestinationPageProc, IDD_DESTINATION_PAGE);
        if (destination == kPageCancel) {
            return WizardEnd::Abandoned;
        }
        if (destination != kPageBack) {
            break;
        }
    }
    if (RunPage("SETUP_INSTALL", CopyPageProc, IDD_COPY_PAGE) == kPageCancel) {
        return WizardEnd::Abandoned;
    }
    RunPage("SETUP_END", FinishPageProc, IDD_FINISH_PAGE);
    return WizardEnd::Finished;
}

} // namespace

int RunSetup(HINSTANCE instance)
{
    g_setup.productName[0] = '\0';
    g_setup.instance = instance;
    g_setup.screenWidth = static_cast<std::int16_t>(GetSystemMetrics(SM_CXSCREEN));
    g_setup.screenHeight = static_cast<std::int16_t>(GetSystemMetrics(SM_CYSCREEN));

    // Only bit 31 tells the Windows 95/98 family from the NT family.
    if ((GetVersion() & 0x80000000u) == 0) {
        ShowWarning(nullptr, LoadText(IDS_WINDOWS_ONLY), "Warning");
        return 0;
    }

    GetWindowsDirectoryA(g_setup.windowsDir, sizeof g_setup.windowsDir);
    if (!LoadSetupScript()) {
        ShowWarning(nullptr, LoadText(IDS_READING_ERROR), g_setup.caption);
        return 0;
    }
    if (AnotherSetupRuns()) {
        ShowWarning(nullptr, LoadText(IDS_ALREADY_RUNNING), g_setup.caption);
        ReleaseFileTable();
        return 0;
    }
    if (!CreateBackdrop()) {
        ReleaseFileTable();
        return 0;
    }

    const WizardEnd end = RunWizardPages();
    ReleaseFileTable();
    if (end == WizardEnd::Abandoned) {
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
