// The whole setup as a user runs it, from the sample medium to the restart or the control panel.
#include "support/automation.h"
#include "support/registry_values.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kMedium = "C:\\MEDIUM";
const std::string kDest = "C:\\KESTREL";
const std::string kSampleMedium = WindowsPathOf(SETUP_BUILD_DIR "/medium");
const std::string kOriginals = WindowsPathOf(SETUP_SOURCE_DIR "/sample/files");
const std::string kJoystickKey = "System\\CurrentControlSet\\control\\MediaResources\\joystick";
const std::string kSettings = "\\msjstick.drv<0000>\\CurrentJoystickSettings";
const char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrel Gamepad";

struct Installed {
    const char* original; // name in sample/files
    std::string target;
};

std::vector<Installed> SampleTargets()
{
    return {
        {"README.TXT", kDest + "\\README.TXT"},
        {"KESTREL.VXD", "C:\\windows\\system\\KESTREL.VXD"},
        {"KESTREL.INF", "C:\\windows\\inf\\KESTREL.INF"},
        {"KPANEL.DLL", "C:\\windows\\system\\KPANEL.DLL"},
        {"KCAL.EXE", kDest + "\\UTILS\\CALIB\\KCAL.EXE"},
        {"BUTTONS.TXT", kDest + "\\DOCS\\BUTTONS.TXT"},
        {"KESTREL.HLP", kDest + "\\DOCS\\KESTREL.HLP"},
        {"UNINSTAL.EXE", kDest + "\\UNINSTAL.EXE"},
    };
}

void ExpectUninstallEntry()
{
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Kestrel Gamepad");
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
                 "C:\\KESTREL\\UNINSTAL.EXE");
}

class Install : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreshFolder(kMedium);
        RemoveTree(kDest);
        ASSERT_TRUE(CopyFolderFiles(kSampleMedium, kMedium));
        DeleteFileA((kMedium + "\\SETUP.EXE").c_str());
        ASSERT_TRUE(CreateTestKey(HKEY_LOCAL_MACHINE, kJoystickKey + kSettings, true));
        ASSERT_TRUE(CreateTestKey(HKEY_LOCAL_MACHINE, kJoystickKey + "\\NoSettings", true));
    }

    // Welcome and destination pages with Next, creating the destination.
    void WalkToCopy(SetupProcess& setup)
    {
        HWND welcome = WaitForWindow(setup.id(), "SETUP_BEGIN");
        ASSERT_NE(welcome, nullptr);
        EXPECT_EQ(WindowText(welcome), "Kestrel Gamepad Setup");
        PressButton(welcome, IDOK);
        HWND destination = WaitForWindow(setup.id(), "SETUP_SELDIR");
        ASSERT_NE(destination, nullptr);
        EXPECT_EQ(ControlText(destination, 1003), kDest);
        PressButton(destination, IDOK);
        HWND create = WaitForWindow(setup.id(), "#32770");
        ASSERT_NE(create, nullptr);
        EXPECT_EQ(MessageBoxText(create),
                  "The specified directory is not existed!\n Are you sure you want to create it ?");
        PressButton(create, IDOK);
    }

    static HWND WaitForFinish(SetupProcess& setup)
    {
        return WaitForWindow(setup.id(), "SETUP_END", 60000);
    }
};

TEST_F(Install, FullInstallCopiesExpandsAndRegistersThenOpensControlPanel)
{
    SetupProcess setup(kMedium);
    ASSERT_TRUE(setup.started());
    WalkToCopy(setup);
    HWND finish = WaitForFinish(setup);
    ASSERT_NE(finish, nullptr);
    EXPECT_EQ(ControlText(finish, 1023), "You have installed Kestrel Gamepad successfully !");

    for (const auto& file : SampleTargets()) {
        const std::string original = ReadWholeFile(kOriginals + "\\" + file.original);
        ASSERT_FALSE(original.empty()) << file.original;
        EXPECT_EQ(ReadWholeFile(file.target), original) << file.target;
    }

    const std::string product = "SOFTWARE\\Kestrel\\Kestrel Gamepad";
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, product, "Version"), "1.20");
    ExpectBinary(ReadStoredValue(HKEY_LOCAL_MACHINE, product, "Buttons"), Bytes{0x0A, 0, 0, 0});
    ExpectString(ReadStoredValue(HKEY_CLASSES_ROOT, "KestrelGamepad.Profile", ""),
                 "Kestrel Gamepad Profile");

    const std::string settings = kJoystickKey + kSettings;
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, settings, "Joystick1OEMCallout"), "KESTREL.VXD");
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, settings, "Joystick1OEMName"), "Kestrel Gamepad");
    const StoredValue config = ReadStoredValue(HKEY_LOCAL_MACHINE, settings, "Joystick1Configuration");
    EXPECT_EQ(config.type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(config.bytes.size(), 112u);
    EXPECT_EQ(Bytes(config.bytes.begin(), config.bytes.begin() + 12),
              (Bytes{0, 0, 0, 0, 0x04, 0, 0, 0, 0x06, 0, 0, 0}));
    EXPECT_EQ(Bytes(config.bytes.begin() + 104, config.bytes.begin() + 108), (Bytes{0x0C, 0, 0, 0}));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kJoystickKey + "\\NoSettings\\CurrentJoystickSettings"));
    ExpectUninstallEntry();

    // "No" on the finish page: the joystick control panel instead of a restart.
    SendMessageA(GetDlgItem(finish, 1033), BM_CLICK, 0, 0);
    PressButton(finish, IDOK);
    ASSERT_TRUE(setup.WaitForExit(20000));
    EXPECT_EQ(setup.ExitCode(), 0u);
    HWND panel = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (panel = FindWindowA("#32770", "Game Controllers")) != nullptr; }));
    PostMessageA(panel, WM_CLOSE, 0, 0);
}

TEST_F(Install, FinishWithYesAsksWindowsToRestart)
{
    const std::string note = "C:\\ENDSESSION.TXT";
    DeleteFileA(note.c_str());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION watcher{};
    std::string command = "\"" + WindowsPathOf(SETUP_BUILD_DIR "/tests/win32/endsession_watcher.exe") +
                          "\" " + note;
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &watcher));
    const auto noted = [&](const char* word) {
        return WaitUntil([&] { return ReadWholeFile(note).find(word) != std::string::npos; });
    };
    ASSERT_TRUE(noted("READY"));

    SetupProcess setup(kMedium);
    WalkToCopy(setup);
    HWND finish = WaitForFinish(setup);
    ASSERT_NE(finish, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(finish, 1032), BM_GETCHECK, 0, 0), BST_CHECKED);
    PressButton(finish, IDOK);
    EXPECT_TRUE(noted("QUERYENDSESSION"));
    setup.WaitForExit(10000);
    TerminateProcess(watcher.hProcess, 0);
    CloseHandle(watcher.hProcess);
    CloseHandle(watcher.hThread);
}

TEST_F(Install, MissingSourceIsReportedAndTheSetupEndsWithoutFinishPage)
{
    DeleteFileA((kMedium + "\\KCAL.EX_").c_str());
    SetupProcess setup(kMedium);
    WalkToCopy(setup);

    HWND report = WaitForMessageBox(setup.id(), "These files could not be copied:\n\nKCAL.EX_", 60000);
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(WindowText(report), "Kestrel Gamepad Setup Program");
    PressButton(report, IDOK);

    HWND notice = WaitForMessageBox(setup.id(), "Kestrel Gamepad installation is not completed !");
    ASSERT_NE(notice, nullptr);
    PressButton(notice, IDOK);
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(WaitForWindow(setup.id(), "SETUP_END", 0), nullptr);

    // The other files are there, the missing one is not, and the registry steps still ran.
    EXPECT_EQ(FileSize(kDest + "\\UTILS\\CALIB\\KCAL.EXE"), -1);
    EXPECT_GT(FileSize(kDest + "\\DOCS\\BUTTONS.TXT"), 0);
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Kestrel Gamepad");
}

TEST_F(Install, CancelDuringCopyFinishesCurrentFileRunsRegistryAndShowsNotice)
{
    // Many plain files, so that the copy takes a while.
    constexpr int kFiles = 400;
    std::string script = "[Main]\nProductName=Kestrel Gamepad\nDefaultPath=C:\\KESTREL\n"
                         "[DiskLabel]\nDisk1=One\n[FileCounts]\nDisk1=" + std::to_string(kFiles) +
                         "\n[Disk1]\n";
    const std::string content(256 * 1024, 'k');
    for (int i = 1; i <= kFiles; ++i) {
        const std::string name = "F" + std::to_string(i) + ".BIN";
        ASSERT_TRUE(WriteWholeFile(kMedium + "\\" + name, content));
        script += std::to_string(i) + "=" + name + "," + name + ",Data,RootDir\n";
    }
    ASSERT_TRUE(WriteWholeFile(kMedium + "\\SETUP.INF", script));

    SetupProcess setup(kMedium);
    WalkToCopy(setup);
    HWND page = WaitForWindow(setup.id(), "SETUP_INSTALL");
    ASSERT_NE(page, nullptr);
    // Cancel once the gauge has moved, while most files are still to come.
    ASSERT_TRUE(WaitUntil([&] { return ControlText(page, 1013) != "0%"; }, 10000, 5));
    PostMessageA(GetDlgItem(page, 1), BM_CLICK, 0, 0);

    HWND notice =
        WaitForMessageBox(setup.id(), "Kestrel Gamepad installation is not completed !", 60000);
    ASSERT_NE(notice, nullptr);
    // The notice waits for the user.
    Sleep(1000);
    EXPECT_FALSE(setup.HasExited());
    EXPECT_TRUE(IsWindow(notice));
    PressButton(notice, IDOK);
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(WaitForWindow(setup.id(), "SETUP_END", 0), nullptr);

    int copied = 0;
    for (int i = 1; i <= kFiles; ++i) {
        const long long size = FileSize(kDest + "\\F" + std::to_string(i) + ".BIN");
        if (size >= 0) {
            EXPECT_EQ(size, static_cast<long long>(content.size())) << "file " << i;
            ++copied;
        }
    }
    EXPECT_GT(copied, 0);
    EXPECT_LT(copied, kFiles);
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Kestrel Gamepad");
}

} // namespace
