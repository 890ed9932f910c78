// Start-up as a user sees it: the refusal on the NT family and the reading error.
#include "script/script_names.h"
#include "support/automation.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

namespace {

// SETUP.EXE is reported Windows 98 by the prefix; without that setting Wine reports the NT family.
void ReportNtFamily()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\SETUP.EXE");
}

void ReportWindows98()
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\SETUP.EXE", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
    RegCloseKey(key);
}

// Starts SETUP.EXE from `medium` and checks that it shows only this message box, before any
// window of its own, and ends with OK.
void ExpectOnlyMessageBox(const std::string& medium, const char* text, const char* caption)
{
    SetupProcess setup(medium);
    ASSERT_TRUE(setup.started());
    HWND box = WaitForWindow(setup.id(), "#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), text);
    EXPECT_EQ(WindowText(box), caption);
    EXPECT_EQ(WaitForWindow(setup.id(), "SetupMain", 0), nullptr);
    PressButton(box, IDOK);
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(setup.ExitCode(), 0u);
}

// A script that, were it read, would make the loader fail on its file counts.
const char kTooManyFiles[] =
    "[DiskLabel]\nDisk1=A\nDisk2=B\n[FileCounts]\nDisk1=30000\nDisk2=30000\n";

TEST(Startup, NtFamilyGetsOnlyTheRefusalBox)
{
    ReportNtFamily();
    const std::string medium = FreshFolder("C:\\NTMEDIUM");
    WriteWholeFile(medium + "\\" + kScriptName, kTooManyFiles);
    ExpectOnlyMessageBox(medium, "This Gamepad/Joystick Driver is for Windows 95/98 only !",
                         "Warning");
    ReportWindows98();
}

TEST(Startup, ProgramDirectoryTooLongForTheScriptPathIsAReadingError)
{
    // 3 + 67 characters: the directory fits 79 but not with "\SETUP.INF".
    ExpectOnlyMessageBox(FreshFolder("C:\\" + std::string(67, 'M')), "SETUP.INF Reading error !",
                         "Setup Program");
}

TEST(Startup, TooManyFilesInTheScriptIsAReadingErrorWithTheProductCaption)
{
    const std::string medium = FreshFolder("C:\\BIGMEDIUM");
    WriteWholeFile(medium + "\\" + kScriptName,
                   std::string("[Main]\nProductName=Quorra Pad\n") + kTooManyFiles);
    ExpectOnlyMessageBox(medium, "SETUP.INF Reading error !", "Quorra Pad Setup Program");
}

} // namespace
