// The whole setup as a user runs it, from the sample medium to the restart or the control panel.
#include "support/automation.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kMedium = "C:\\MEDIUM";
const std::string kDest = "C:\\KESTREL";
const std::string kSampleMedium = WindowsPathOf(SETUP_BUILD_DIR "/medium");
const std::string kOriginals = WindowsPathOf(SETUP_SOURCE_DIR "/sample/files");
const char kJoystickKey[] = "System\\CurrentControlSet\\control\\MediaResources\\joystick";
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

void CreateKey(HKEY root, const std::string& path)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr), ERROR_SUCCESS);
    RegCloseKey(key);
}

bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// A value's type and bytes (Wine keeps a string's NUL whatever count it was given).
struct Value {
    DWORD type = 0;
    std::string bytes;
    bool found = false;
};

Value ReadValue(HKEY root, const std::string& path, const char* name)
{
    Value value;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return value;
    }
    char data[512];
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(data), &size) ==
        ERROR_SUCCESS) {
        value.found = true;
        value.bytes.assign(data, size);
    }
    RegCloseKey(key);
    return value;
}

std::string Text(const Value& value)
{
    std::string text = value.bytes;
    while (!text.empty() && text.back() == '\0') {
        text.pop_back();
    }
    return text;
}

class Install : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreshFolder(kMedium);
        RemoveTree(kDest);
        ASSERT_TRUE(CopyFolderFiles(kSampleMedium, kMedium));
        DeleteFileA((kMedium + "\\SETUP.EXE").c_str());
        CreateKey(HKEY_LOCAL_MACHINE,
                  std::string(kJoystickKey) + "\\msjstick.drv<0000>\\CurrentJoystickSettings");
        CreateKey(HKEY_LOCAL_MACHINE, std::string(kJoystickKey) + "\\NoSettings");
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
    const Value version = ReadValue(HKEY_LOCAL_MACHINE, product, "Version");
    EXPECT_EQ(version.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Text(version), "1.20");
    const Value buttons = ReadValue(HKEY_LOCAL_MACHINE, product, "Buttons");
    EXPECT_EQ(buttons.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(buttons.bytes, std::string("\x0a\0\0\0", 4));
    const Value profile = ReadValue(HKEY_CLASSES_ROOT, "KestrelGamepad.Profile", "");
    EXPECT_EQ(Text(profile), "Kestrel Gamepad Profile");

    const std::string settings = std::string(kJoystickKey) + "\\msjstick.drv<0000>\\CurrentJoystickSettings";
    EXPECT_EQ(Text(ReadValue(HKEY_LOCAL_MACHINE, settings, "Joystick1OEMCallout")), "KESTREL.VXD");
    EXPECT_EQ(Text(ReadValue(HKEY_LOCAL_MACHINE, settings, "Joystick1OEMName")), "Kestrel Gamepad");
    const Value config = ReadValue(HKEY_LOCAL_MACHINE, settings, "Joystick1Configuration");
    EXPECT_EQ(config.type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(config.bytes.size(), 112u);
    EXPECT_EQ(config.bytes.substr(0, 12), std::string("\0\0\0\0\x04\0\0\0\x06\0\0\0", 12));
    EXPECT_EQ(config.bytes.substr(104, 4), std::string("\x0c\0\0\0", 4));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE,
                           std::string(kJoystickKey) + "\\NoSettings\\CurrentJoystickSettings"));
    EXPECT_EQ(Text(ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName")), "Kestrel Gamepad");
    EXPECT_EQ(Text(ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString")),
              "C:\\KESTREL\\UNINSTAL.EXE");

    // "No" on the finish page: the joystick control panel instead of a restart.
    SendMessageA(GetDlgItem(finish, 1033), BM_CLICK, 0, 0);
    PressButton(finish, IDOK);
    ASSERT_TRUE(setup.WaitForExit(20000));
    EXPECT_EQ(setup.ExitCode(), 0u);
    HWND panel = nullptr;
    for (int i = 0; i < 500 && panel == nullptr; ++i) {
        panel = FindWindowA("#32770", "Game Controllers");
        Sleep(20);
    }
    ASSERT_NE(panel, nullptr);
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
    for (int i = 0; i < 500 && ReadWholeFile(note).find("READY") == std::string::npos; ++i) {
        Sleep(20);
    }
    ASSERT_NE(ReadWholeFile(note).find("READY"), std::string::npos);

    SetupProcess setup(kMedium);
    WalkToCopy(setup);
    HWND finish = WaitForFinish(setup);
    ASSERT_NE(finish, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(finish, 1032), BM_GETCHECK, 0, 0), BST_CHECKED);
    PressButton(finish, IDOK);
    for (int i = 0; i < 500 && ReadWholeFile(note).find("QUERYENDSESSION") == std::string::npos; ++i) {
        Sleep(20);
    }
    EXPECT_NE(ReadWholeFile(note).find("QUERYENDSESSION"), std::string::npos);
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
    EXPECT_EQ(Text(ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName")), "Kestrel Gamepad");
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
    for (int i = 0; i < 2000 && ControlText(page, 1013) == "0%"; ++i) {
        Sleep(5);
    }
    ASSERT_NE(ControlText(page, 1013), "0%");
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
    EXPECT_EQ(Text(ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName")), "Kestrel Gamepad");
}

} // namespace
