// The uninstall entry's program after the setup, as a user runs it: what it takes back and what
// it leaves, stopped at its worst moments and run again, with a damaged record, on a machine that
// holds other programs' files and settings.
#include "support/install_fixture.h"
#include "uninstall/registry_removal.h"

namespace {

// Starts a command line as CreateProcess reads one without a program name.
void StartCommandLine(std::string line)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &started))
        << line;
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
}

// Starts the command as a client of the uninstall entry would, and answers No to the uninstall
// program's question, whichever process shows it; false when no question comes.
bool StartAndDecline(const std::function<void()>& start)
{
    start();
    HWND question = WaitForWindowWithCaption(kAnyProcess, "#32770", "Kestrel Gamepad Uninstall");
    if (question == nullptr) {
        return false;
    }
    EXPECT_EQ(MessageBoxText(question), "Remove Kestrel Gamepad and all of its components?");
    DWORD id = 0;
    GetWindowThreadProcessId(question, &id);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    PressButton(question, IDNO);
    const bool ended =
        process != nullptr && WaitForSingleObject(process, kPatience) == WAIT_OBJECT_0;
    if (process != nullptr) {
        CloseHandle(process);
    }
    return ended;
}

// The product installed from the sample medium (or a script of a test's own), then uninstalled.
class InstallThenUninstall : public Install {};

TEST_F(InstallThenUninstall, UninstallRemovesWhatTheSetupInstalledAndLeavesTheRest)
{
    // A game-controller device (the key that HKR lines write below) and a second joystick driver.
    const std::string device = kMediaClass + "\\0000";
    ASSERT_TRUE(CreateTestKey(HKEY_LOCAL_MACHINE, device + "\\Drivers\\joystick"));
    const std::string other = kJoystickKey + "\\other.drv<0001>\\CurrentJoystickSettings";
    ASSERT_TRUE(CreateTestKey(HKEY_LOCAL_MACHINE, other));
    const std::string others = OthersThings();
    ASSERT_NO_FATAL_FAILURE(InstallSample());
    ASSERT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, device + "\\Settings"));

    // Since the install: the second joystick went to another driver, and the user added a value
    // of his own beside ours, another to our joystick's settings, and a file of his own.
    const std::string product = "SOFTWARE\\Kestrel\\Kestrel Gamepad";
    const std::string settings = kJoystickKey + kSettings;
    SetValue(HKEY_LOCAL_MACHINE, other, "Joystick1OEMCallout", REG_SZ,
             std::string("OTHER.VXD", 10));
    SetValue(HKEY_LOCAL_MACHINE, product, "UserPreference", REG_SZ, std::string("mine", 5));
    SetValue(HKEY_LOCAL_MACHINE, settings, "Joystick2OEMCallout", REG_SZ,
             std::string("PAD2.VXD", 9));
    ASSERT_TRUE(WriteWholeFile(kDest + "\\MYNOTES.TXT", "the user's own"));

    std::string message;
    ASSERT_NO_FATAL_FAILURE(Uninstall(IDYES, message));
    EXPECT_EQ(message, std::string(kRemoved) + "\n\nThe folder " + kDest +
                           " still holds files that Setup did not install; it stays.");

    // The files, the record and the folders that were left empty are gone, the uninstall program
    // as soon as it has ended; the user's file and its folder stay.
    for (const auto& file : SampleTargets()) {
        EXPECT_FALSE(FileExists(file.target)) << file.target;
        EXPECT_EQ(UseCount(file.target), 0u) << file.target;
    }
    EXPECT_EQ(FileNamesIn(kDest), std::set<std::string>{"MYNOTES.TXT"});
    for (const char* folder : {"\\UTILS\\CALIB", "\\UTILS", "\\DOCS"}) {
        EXPECT_FALSE(FileExists(kDest + folder)) << folder;
    }

    // The section's values go, and with them the keys left empty, but never a key that holds
    // anything else, the device's key or a top key.
    EXPECT_FALSE(ReadStoredValue(HKEY_LOCAL_MACHINE, product, "Version").found);
    EXPECT_FALSE(ReadStoredValue(HKEY_LOCAL_MACHINE, product, "Buttons").found);
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, product, "UserPreference"), "mine");
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kProfileClass));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, device + "\\Settings"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, device + "\\Drivers\\joystick"));
    // Our joystick values go where they still name our driver; everything else stays.
    for (const char* value :
         {"Joystick1OEMCallout", "Joystick1OEMName", "Joystick1Configuration"}) {
        EXPECT_FALSE(ReadStoredValue(HKEY_LOCAL_MACHINE, settings, value).found) << value;
        EXPECT_TRUE(ReadStoredValue(HKEY_LOCAL_MACHINE, other, value).found) << value;
    }
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, settings, "Joystick2OEMCallout"), "PAD2.VXD");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_EQ(OthersThings(), others);
    EXPECT_EQ(RestartLines(), std::vector<std::string>{});
}

TEST_F(InstallThenUninstall, AnotherProgramsFileAndSettingsAreLeftOrGivenBack)
{
    // Another program's KPANEL.DLL with its use count, another gamepad's settings, and the
    // system's settings that the script overwrites.
    const std::string panel = kSystem + "\\KPANEL.DLL";
    ASSERT_TRUE(WriteWholeFile(panel, "the other program's KPANEL.DLL"));
    SetValue(HKEY_LOCAL_MACHINE, kSharedCounts, panel.c_str(), REG_DWORD,
             std::string("\1\0\0\0", 4));
    const std::string settings = kJoystickKey + kSettings;
    SetValue(HKEY_LOCAL_MACHINE, settings, "Joystick1OEMCallout", REG_SZ,
             std::string("FALCON.VXD", 11));
    SetValue(HKEY_LOCAL_MACHINE, settings, "Joystick1OEMName", REG_SZ, std::string("Falcon", 7));
    SetValue(HKEY_LOCAL_MACHINE, settings, "Joystick1Configuration", REG_BINARY,
             std::string(112, '\7'));
    ASSERT_TRUE(EditFile(kMedium + "\\" + kScriptName, "[REGISTRY_END]",
                         "HKLM," + kCurrentVersion + ",ProgramFilesDir,,C:\\KESTREL\\PROGRAMS\n"
                         "HKLM," + kCurrentVersion + ",CommonFilesDir,,C:\\KESTREL\\COMMON\n"
                         "HKLM,SOFTWARE\\Falcon\\Stick,Speed,1,09\n"
                         "HKLM,SOFTWARE\\Falcon\\Stick,Mode,,kestrel\n"
                         "HKEY_CLASSES_ROOT,exefile\\shell\\open\\command,,,KCAL.EXE %1\n"
                         "HKLM," + kEnvironment + ",PATH,,C:\\KESTREL\n[REGISTRY_END]"));
    const std::string others = OthersThings();

    ASSERT_NO_FATAL_FAILURE(InstallSample());
    EXPECT_EQ(ReadWholeFile(panel), ReadWholeFile(kOriginals + "\\KPANEL.DLL"));
    EXPECT_EQ(UseCount(panel), 2u);
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir"),
                 "C:\\KESTREL\\PROGRAMS");
    // Someone changes one of the overwritten values again.
    SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Falcon\\Stick", "Mode", REG_SZ,
             std::string("user's", 7));

    std::string message;
    ASSERT_NO_FATAL_FAILURE(Uninstall(IDYES, message));
    EXPECT_EQ(message, std::string(kRemoved) + kPutBack);
    // The other program's DLL stays with one use, and every value is as it was, byte for byte,
    // but the one that someone changed since the install.
    EXPECT_EQ(ReadWholeFile(panel), ReadWholeFile(kOriginals + "\\KPANEL.DLL"));
    EXPECT_EQ(UseCount(panel), 1u);
    EXPECT_EQ(OthersThings(), others);
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Falcon\\Stick", "Mode"), "user's");
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, settings, "Joystick1OEMCallout"),
                 "FALCON.VXD");
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, settings, "Joystick1OEMName"), "Falcon");
    ExpectBinary(ReadStoredValue(HKEY_LOCAL_MACHINE, settings, "Joystick1Configuration"),
                 Bytes(112, 7));
    EXPECT_FALSE(FileExists(kDest));
    DeleteFileA(panel.c_str());
}

TEST_F(InstallThenUninstall, AUseCountStoredAsBinaryStaysBinaryWhenRaisedAndLowered)
{
    // Another program's KPANEL.DLL, whose installer stored its use count as four binary bytes.
    const std::string panel = kSystem + "\\KPANEL.DLL";
    ASSERT_TRUE(WriteWholeFile(panel, "the other program's KPANEL.DLL"));
    SetValue(HKEY_LOCAL_MACHINE, kSharedCounts, panel.c_str(), REG_BINARY,
             std::string("\1\0\0\0", 4));
    ASSERT_NO_FATAL_FAILURE(InstallSample());
    EXPECT_EQ(ReadStoredValue(HKEY_LOCAL_MACHINE, kSharedCounts, panel).type,
              static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(UseCount(panel), 2u);

    std::string message;
    ASSERT_NO_FATAL_FAILURE(Uninstall(IDYES, message));
    EXPECT_TRUE(FileExists(panel));
    EXPECT_EQ(ReadStoredValue(HKEY_LOCAL_MACHINE, kSharedCounts, panel).type,
              static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(UseCount(panel), 1u);
}

TEST_F(InstallThenUninstall, UpgradeAndRenameThenOneUninstallTakesBackBothVersions)
{
    const std::string others = OthersThings();
    const std::set<std::string> systemBefore = FileNamesIn(kSystem);
    ASSERT_NO_FATAL_FAILURE(InstallSample());
    // Version 2, renamed, in the same folder: without v1's BUTTONS.TXT and HelpFile value, with a
    // file and a value of its own.
    const char kSecondKey[] =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrel Pad 2";
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kSecondKey);
    ASSERT_TRUE(EditFile(kMedium + "\\" + kScriptName, "ProductName=Kestrel Gamepad",
                         "ProductName=Kestrel Pad 2"));
    ASSERT_TRUE(EditFile(kMedium + "\\" + kScriptName,
                         "2=BUTTONS.TXT,BUTTONS.TXT,Button layout,SubDir3",
                         "2=NEWS.TXT,NEWS.TXT,What is new,RootDir"));
    ASSERT_TRUE(EditFile(kMedium + "\\" + kScriptName,
                         "HKLM,SOFTWARE\\Kestrel\\%s,HelpFile,,KESTREL.HLP",
                         "HKLM,SOFTWARE\\Kestrel\\%s,Edition,,2"));
    ASSERT_TRUE(WriteWholeFile(kMedium + "\\NEWS.TXT", "version 2"));
    ASSERT_NO_FATAL_FAILURE(InstallSample(true, "Kestrel Pad 2"));
    EXPECT_TRUE(FileExists(kDest + "\\DOCS\\BUTTONS.TXT"));
    EXPECT_TRUE(FileExists(kDest + "\\NEWS.TXT"));

    std::string message;
    ASSERT_NO_FATAL_FAILURE(Uninstall(IDYES, message, "Kestrel Gamepad, Kestrel Pad 2"));
    EXPECT_EQ(message, "Kestrel Gamepad, Kestrel Pad 2 has been removed from your computer.");
    EXPECT_FALSE(FileExists(kDest));
    EXPECT_EQ(FileNamesIn(kSystem), systemBefore);
    for (const auto& file : SampleTargets()) {
        EXPECT_EQ(UseCount(file.target), 0u) << file.target;
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kestrel"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kProfileClass));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSecondKey));
    EXPECT_EQ(OthersThings(), others);
}

TEST_F(InstallThenUninstall, AReplacementWaitingForTheRestartIsCalledOffByTheUninstall)
{
    const std::set<std::string> systemBefore = FileNamesIn(kSystem);
    ASSERT_NO_FATAL_FAILURE(InstallSample());
    // The driver is loaded when the product is installed again: the new copy waits for the next
    // start of Windows. Then the product is uninstalled before that start.
    const std::string driver = kSystem + "\\KESTREL.VXD";
    HANDLE held = HoldOpen(driver);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_NO_FATAL_FAILURE(InstallSample(true));
    const std::set<std::string> waiting = TemporaryNamesIn(kSystem);
    ASSERT_EQ(waiting.size(), 1u);
    std::string upperDriver = driver;
    CharUpperA(upperDriver.data());
    const std::string upperSystem = upperDriver.substr(0, upperDriver.rfind('\\') + 1);
    EXPECT_EQ(RestartLines(),
              std::vector<std::string>{upperDriver + "=" + upperSystem + *waiting.begin()});

    std::string message;
    ASSERT_NO_FATAL_FAILURE(Uninstall(IDYES, message));
    CloseHandle(held);
    EXPECT_EQ(message, std::string(kRemoved) + kRestartNeeded);
    EXPECT_EQ(TemporaryNamesIn(kSystem), std::set<std::string>{});
    EXPECT_EQ(RestartLines(), std::vector<std::string>{"NUL=" + upperDriver});

    RestartWindows();
    EXPECT_EQ(FileNamesIn(kSystem), systemBefore);
    EXPECT_FALSE(FileExists(kDest));
}

TEST_F(InstallThenUninstall, ASetupStoppedMidCopyLeavesARecordThatUninstallsWhatItPlaced)
{
    const std::set<std::string> systemBefore = FileNamesIn(kSystem);
    ASSERT_NO_FATAL_FAILURE(StopDuringALargeFile());
    ASSERT_EQ(TemporaryNamesIn(kDest).size(), 1u);
    ASSERT_TRUE(FileExists(kSystem + "\\KPANEL.DLL"));
    EXPECT_EQ(UseCount(kSystem + "\\KPANEL.DLL"), 1u);
    EXPECT_FALSE(FileExists(kDest + "\\README.TXT"));

    std::string message;
    ASSERT_NO_FATAL_FAILURE(Uninstall(IDYES, message, "Kestrel Gamepad", kUninstaller));
    EXPECT_EQ(message, kRemoved);
    EXPECT_FALSE(FileExists(kDest));
    EXPECT_EQ(FileNamesIn(kSystem), systemBefore);
    EXPECT_EQ(UseCount(kSystem + "\\KPANEL.DLL"), 0u);
}

TEST_F(InstallThenUninstall, AReinstallBeforeTheRestartKeepsTheFilesTheUninstallLeftToIt)
{
    // Uninstalled while the driver is loaded, its deletion waits for the next start; the product
    // is installed again before that start.
    ASSERT_NO_FATAL_FAILURE(InstallSample());
    const std::string driver = kSystem + "\\KESTREL.VXD";
    HANDLE held = HoldOpen(driver);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::string message;
    ASSERT_NO_FATAL_FAILURE(Uninstall(IDYES, message));
    CloseHandle(held);
    ASSERT_EQ(message, std::string(kRemoved) + kRestartNeeded);
    ASSERT_NO_FATAL_FAILURE(InstallSample());
    EXPECT_EQ(RestartLines(), std::vector<std::string>{});

    RestartWindows();
    for (const auto& file : SampleTargets()) {
        EXPECT_EQ(ReadWholeFile(file.target), ReadWholeFile(kOriginals + "\\" + file.original))
            << file.target;
    }
}

TEST_F(InstallThenUninstall, AnInstallIntoAnotherFolderTakesOverTheEarlierRecord)
{
    const std::string others = OthersThings();
    const std::string second = "C:\\KESTREL2";
    RemoveTree(second);
    ASSERT_NO_FATAL_FAILURE(InstallSample());
    ASSERT_NO_FATAL_FAILURE(InstallSample(false, "Kestrel Gamepad", second));
    // The uninstall entry names the second folder, whose record now holds the first one's lines.
    EXPECT_FALSE(FileExists(kRecord));
    EXPECT_TRUE(FileExists(second + "\\" + kInstallRecordName));

    std::string message;
    ASSERT_NO_FATAL_FAILURE(
        Uninstall(IDYES, message, "Kestrel Gamepad", second + "\\" + kUninstallerName));
    EXPECT_EQ(message, kRemoved);
    EXPECT_FALSE(FileExists(second));
    // The first folder went with it, its uninstall program included.
    EXPECT_FALSE(FileExists(kDest));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_EQ(OthersThings(), others);
}

TEST_F(InstallThenUninstall, TheEntryStartsTheUninstallerAndNoProgramNamedLikeTheStartOfItsPath)
{
    // The usual destination below Program Files, and programs planted where a command cut at a
    // blank finds one.
    const std::string spaced = "C:\\Program Files\\Kestrel Pad";
    const std::string planted[] = {"C:\\Program.exe", "C:\\Program Files\\Kestrel.exe"};
    const std::string harmless = WindowsPathOf(SETUP_BUILD_DIR "/tests/win32/bare_expand.exe");
    RemoveTree(spaced);
    for (const std::string& path : planted) {
        ASSERT_TRUE(CopyFileA(harmless.c_str(), path.c_str(), FALSE)) << path;
    }
    ASSERT_NO_FATAL_FAILURE(InstallSample(false, "Kestrel Gamepad", spaced));
    std::string command =
        StoredText(ReadStoredValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
    EXPECT_EQ(command, "\"" + spaced + "\\" + kUninstallerName + "\"");

    const struct {
        const char* client;
        std::function<void()> start;
    } clients[] = {
        {"CreateProcess", [&] { StartCommandLine(command); }},
        {"WinExec", [&] { ASSERT_GT(WinExec(command.c_str(), SW_SHOW), 31u); }},
        {"Wine's uninstaller",
         [] { StartCommandLine("uninstaller.exe --remove \"Kestrel Gamepad\""); }},
    };
    for (const auto& client : clients) {
        EXPECT_TRUE(StartAndDecline(client.start)) << client.client;
    }
    EXPECT_TRUE(FileExists(spaced + "\\" + kUninstallerName));

    // An install into another folder finds the earlier record through the quoted command and
    // takes it over; one uninstall then takes back both.
    ASSERT_NO_FATAL_FAILURE(InstallSample());
    EXPECT_FALSE(FileExists(spaced + "\\" + kInstallRecordName));
    std::string message;
    ASSERT_NO_FATAL_FAILURE(Uninstall(IDYES, message));
    EXPECT_EQ(message, kRemoved);
    EXPECT_FALSE(FileExists(spaced));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    for (const std::string& path : planted) {
        DeleteFileA(path.c_str());
    }
}

TEST_F(InstallThenUninstall, WhatCannotBeTakenBackIsNamedAndLeftToASecondRun)
{
    ASSERT_NO_FATAL_FAILURE(InstallSample());
    // A file that can neither be deleted nor left to the next start, whose WININIT.INI cannot be
    // written: made so outside Windows, where even root cannot write or delete it.
    const char* prefix = std::getenv("WINEPREFIX");
    ASSERT_NE(prefix, nullptr);
    ASSERT_TRUE(WriteWholeFile(kRestartScript, "[rename]\r\n"));
    const std::string drive = std::string(prefix) + "/drive_c/";
    const std::string stuck =
        "'" + drive + "KESTREL/UTILS/CALIB/KCAL.EXE' '" + drive + "windows/WININIT.INI'";
    if (RunHostShell("chattr +i " + stuck) != 0) {
        GTEST_SKIP() << "files that nobody can delete need chattr, root and a file system for it";
    }
    std::string message;
    Uninstall(IDYES, message, "Kestrel Gamepad", "", false);
    EXPECT_EQ(RunHostShell("chattr -i " + stuck), 0);
    EXPECT_EQ(message, std::string(kRemoved) +
                           "\n\nThese files and settings could not be removed:\n\n" + kDest +
                           "\\UTILS\\CALIB\\KCAL.EXE\n\nThe rest is still recorded: run the "
                           "uninstall again later to finish.");
    // What could not go stays recorded, with the program and the entry that run it again.
    EXPECT_TRUE(FileExists(kRecord));
    EXPECT_TRUE(FileExists(kUninstaller));
    ExpectUninstallEntry();
    EXPECT_FALSE(FileExists(kDest + "\\README.TXT"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kestrel"));

    ASSERT_NO_FATAL_FAILURE(Uninstall(IDYES, message));
    EXPECT_EQ(message, kRemoved);
    EXPECT_FALSE(FileExists(kDest));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

TEST_F(InstallThenUninstall, UninstallRemovesNothingWithoutItsRecordOrFromAnotherFolderOrWhenTheAnswerIsNo)
{
    ASSERT_NO_FATAL_FAILURE(InstallSample());
    // The uninstall program and its record copied into another folder that holds files of the
    // same names: refused.
    const std::string elsewhere = FreshFolder("C:\\ELSEWHERE");
    ASSERT_TRUE(
        CopyFileA(kUninstaller.c_str(), (elsewhere + "\\" + kUninstallerName).c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(kRecord.c_str(), (elsewhere + "\\" + kInstallRecordName).c_str(), FALSE));
    ASSERT_TRUE(WriteWholeFile(elsewhere + "\\README.TXT", "elsewhere's"));
    {
        SetupProcess uninstall(elsewhere + "\\" + kUninstallerName, elsewhere);
        HWND box =
            WaitForMessageBox(uninstall.id(), "UNINSTAL.DAT here records an install into " + kDest +
                                                  ", not into this folder. Nothing was removed.");
        ASSERT_NE(box, nullptr);
        PressButton(box, IDOK);
        ASSERT_TRUE(uninstall.WaitForExit());
    }
    EXPECT_EQ(ReadWholeFile(elsewhere + "\\README.TXT"), "elsewhere's");
    RemoveTree(elsewhere);

    // Without its record: nothing, and the entry only when the user wants it gone.
    const std::string kept = kRecord + ".KEPT";
    ASSERT_TRUE(MoveFileA(kRecord.c_str(), kept.c_str()));
    for (const int answer : {IDNO, IDYES}) {
        SetupProcess uninstall(kUninstaller, kDest);
        HWND box = WaitForMessageBox(
            uninstall.id(), "UNINSTAL.DAT, the record of what Setup changed, is missing or "
                            "cannot be read. Nothing was removed.");
        ASSERT_NE(box, nullptr);
        PressButton(box, IDOK);
        HWND question = WaitForMessageBox(
            uninstall.id(), "Remove the entry of this uninstall program from the list "
                            "of installed programs?");
        ASSERT_NE(question, nullptr);
        PressButton(question, answer);
        ASSERT_TRUE(uninstall.WaitForExit());
        EXPECT_EQ(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), answer == IDNO);
    }
    ASSERT_TRUE(MoveFileA(kept.c_str(), kRecord.c_str()));
    for (const auto& file : SampleTargets()) {
        EXPECT_TRUE(FileExists(file.target)) << file.target;
    }

    std::string message;
    SetValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", REG_SZ, kUninstaller + '\0');
    ASSERT_NO_FATAL_FAILURE(Uninstall(IDNO, message));
    for (const auto& file : SampleTargets()) {
        EXPECT_TRUE(FileExists(file.target)) << file.target;
    }
    ExpectString(
        ReadStoredValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kestrel\\Kestrel Gamepad", "Version"),
        "1.20");
    EXPECT_FALSE(FileExists(kRestartScript));
}

TEST_F(InstallThenUninstall, AnUninstallStoppedAnywhereAndRunAgainEndsAsOneRunWould)
{
    // Another program's KPANEL.DLL, counted once: the install counts it twice, the uninstall must
    // lower that once, however often it starts.
    const std::string panel = kSystem + "\\KPANEL.DLL";
    const std::string product = "SOFTWARE\\Kestrel\\Kestrel Gamepad";
    const std::string others = OthersThings();
    const struct {
        const char* when;
        HKEY root;
        std::string keyPath;
        std::function<bool()> stopNow;
    } table[] = {
        {"after the other program's count went down", HKEY_LOCAL_MACHINE, kSharedCounts,
         [&] { return UseCount(panel) == 1; }},
        {"while the settings go back", HKEY_LOCAL_MACHINE, product, [] { return true; }},
    };
    // The program is stopped from here once the change is seen, which takes a moment: on a busy
    // machine it may have gone on to its end meanwhile (its record gone), which stops nothing.
    // Then the row is tried again, a few times.
    constexpr int kTries = 3;
    for (const auto& row : table) {
        SCOPED_TRACE(row.when);
        bool stoppedBeforeTheEnd = false;
        for (int attempt = 0; attempt < kTries && !stoppedBeforeTheEnd; ++attempt) {
            SetUp();
            ASSERT_TRUE(WriteWholeFile(panel, "the other program's KPANEL.DLL"));
            SetValue(HKEY_LOCAL_MACHINE, kSharedCounts, panel.c_str(), REG_DWORD,
                     std::string("\1\0\0\0", 4));
            ASSERT_NO_FATAL_FAILURE(InstallSample());
            ASSERT_EQ(UseCount(panel), 2u);
            ASSERT_NO_FATAL_FAILURE(UninstallStoppedWhen(row.root, row.keyPath, row.stopNow));
            stoppedBeforeTheEnd = FileExists(kRecord);
        }
        ASSERT_TRUE(stoppedBeforeTheEnd) << "the uninstall ran to its end before each stop";
        EXPECT_LE(UseCount(panel), 1u);

        std::string message;
        ASSERT_NO_FATAL_FAILURE(Uninstall(IDYES, message));
        EXPECT_EQ(message.substr(0, sizeof kRemoved - 1), kRemoved);
        EXPECT_TRUE(FileExists(panel));
        EXPECT_EQ(UseCount(panel), 1u);
        EXPECT_FALSE(FileExists(kSystem + "\\KESTREL.VXD"));
        EXPECT_FALSE(FileExists(kDest));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kestrel"));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        EXPECT_EQ(OthersThings(), others);
        DeleteFileA(panel.c_str());
        SetValue(HKEY_LOCAL_MACHINE, kSharedCounts, panel.c_str(), REG_DWORD, "");
    }
}

TEST_F(InstallThenUninstall, ADamagedRecordTakesBackWhatItStillNamesAndSaysSo)
{
    const std::string others = OthersThings();
    ASSERT_NO_FATAL_FAILURE(InstallSample());
    // One byte changed in the line that names the product's "Version" as written, and a line cut
    // short at the end.
    std::string record = ReadWholeFile(kRecord);
    const std::size_t version = record.find("\tVersion\t", record.find(" W\t"));
    ASSERT_NE(version, std::string::npos);
    record[version + 2] ^= 0x20;
    record += "0123ABCD F\tC:\\KESTREL\\HALF";
    ASSERT_TRUE(WriteWholeFile(kRecord, record));

    std::string message;
    ASSERT_NO_FATAL_FAILURE(Uninstall(IDYES, message));
    EXPECT_EQ(message, "UNINSTAL.DAT was damaged: what it names of Kestrel Gamepad is removed; "
                       "some changes of Setup may remain.");
    // What the damaged line named stays; everything else goes, the program, its folder and its
    // entry with it: no entry points at a program that is gone.
    const std::string product = "SOFTWARE\\Kestrel\\Kestrel Gamepad";
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, product, "Version"), "1.20");
    EXPECT_FALSE(ReadStoredValue(HKEY_LOCAL_MACHINE, product, "Buttons").found);
    for (const auto& file : SampleTargets()) {
        EXPECT_FALSE(FileExists(file.target)) << file.target;
    }
    EXPECT_FALSE(FileExists(kDest));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    const std::string settings = kJoystickKey + kSettings;
    EXPECT_FALSE(ReadStoredValue(HKEY_LOCAL_MACHINE, settings, "Joystick1OEMCallout").found);
    EXPECT_EQ(OthersThings(), others);
}

TEST_F(InstallThenUninstall, ASharedFileGoesWhenItsLastUseGoesWhoeverHadItFirst)
{
    const std::string panel = kSystem + "\\KPANEL.DLL";
    const struct {
        const char* what;
        bool thereBefore;   // with one use of another program's
        DWORD countLater;   // what the use count is by the uninstall
        bool stays;
        DWORD countAfter;
    } table[] = {
        {"there before, the other program uninstalled since", true, 1, false, 0},
        {"ours first, another program counted since", false, 2, true, 1},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        SetUp();
        if (row.thereBefore) {
            ASSERT_TRUE(WriteWholeFile(panel, "the other program's KPANEL.DLL"));
            SetValue(HKEY_LOCAL_MACHINE, kSharedCounts, panel.c_str(), REG_DWORD,
                     std::string("\1\0\0\0", 4));
        }
        ASSERT_NO_FATAL_FAILURE(InstallSample());
        const DWORD later = row.countLater;
        SetValue(HKEY_LOCAL_MACHINE, kSharedCounts, panel.c_str(), REG_DWORD,
                 std::string(reinterpret_cast<const char*>(&later), 4));
        std::string message;
        ASSERT_NO_FATAL_FAILURE(Uninstall(IDYES, message));
        EXPECT_EQ(FileExists(panel), row.stays);
        EXPECT_EQ(UseCount(panel), row.countAfter);
        DeleteFileA(panel.c_str());
        SetValue(HKEY_LOCAL_MACHINE, kSharedCounts, panel.c_str(), REG_DWORD, "");
    }
}

TEST_F(InstallThenUninstall, TheProductsFoldersGoWhenEmptyAndAChangedFileStaysNamed)
{
    // The destination and one of the script's folders were there before, empty.
    ASSERT_TRUE(CreateDirectoryA(kDest.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((kDest + "\\DOCS").c_str(), nullptr));
    ASSERT_NO_FATAL_FAILURE(InstallSample(true));
    std::string message;
    ASSERT_NO_FATAL_FAILURE(Uninstall(IDYES, message));
    EXPECT_EQ(message, kRemoved);
    EXPECT_FALSE(FileExists(kDest));

    // The user changed the read-me since the install: it stays, named, and so does its folder,
    // which holds nothing else.
    ASSERT_NO_FATAL_FAILURE(InstallSample());
    ASSERT_TRUE(WriteWholeFile(kDest + "\\README.TXT", "my own notes on the gamepad"));
    ASSERT_NO_FATAL_FAILURE(Uninstall(IDYES, message));
    EXPECT_EQ(message, std::string(kRemoved) +
                           "\n\nFiles you changed stay:\n\n" + kDest +
                           "\\README.TXT");
    EXPECT_EQ(ReadWholeFile(kDest + "\\README.TXT"), "my own notes on the gamepad");
    EXPECT_EQ(FileNamesIn(kDest), std::set<std::string>{"README.TXT"});
    EXPECT_FALSE(FileExists(kDest + "\\UTILS"));
}

TEST_F(InstallThenUninstall, AFolderThatEmptiesOnlyAtTheRestartIsNamed)
{
    ASSERT_NO_FATAL_FAILURE(InstallSample());
    HANDLE held = HoldOpen(kDest + "\\UTILS\\CALIB\\KCAL.EXE");
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::string message;
    ASSERT_NO_FATAL_FAILURE(Uninstall(IDYES, message));
    CloseHandle(held);
    EXPECT_EQ(message, std::string(kRemoved) + kRestartNeeded + "\n\nThen delete the folder " +
                           kDest + ".");
    RestartWindows();
    EXPECT_FALSE(FileExists(kDest + "\\UTILS\\CALIB\\KCAL.EXE"));
}

// Windows 95 and 98 delete a key with everything below it, where Wine refuses a key with
// subkeys: the uninstall's own decision is all that keeps anything else from going, and a test
// that only deletes under Wine would not see it wrong.
TEST(UninstallKeys, OnlyAKeyWithoutValuesAndSubkeysIsEmpty)
{
    const std::string key = "SOFTWARE\\UninstallKeysTest\\Made";
    ASSERT_TRUE(CreateTestKey(HKEY_LOCAL_MACHINE, key + "\\Child"));
    EXPECT_FALSE(KeyIsEmpty(HKEY_LOCAL_MACHINE, key.c_str())); // a subkey, no values
    DeleteKeyTree(HKEY_LOCAL_MACHINE, key + "\\Child");
    EXPECT_TRUE(KeyIsEmpty(HKEY_LOCAL_MACHINE, key.c_str()));
    for (const char* name : {"", "Setting"}) { // the default value counts as a value too
        HKEY opened = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS, &opened),
                  ERROR_SUCCESS);
        RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
        EXPECT_FALSE(KeyIsEmpty(HKEY_LOCAL_MACHINE, key.c_str())) << "value \"" << name << '"';
        RegDeleteValueA(opened, name);
        RegCloseKey(opened);
        EXPECT_TRUE(KeyIsEmpty(HKEY_LOCAL_MACHINE, key.c_str()));
    }
    EXPECT_FALSE(KeyIsEmpty(HKEY_LOCAL_MACHINE, (key + "\\Missing").c_str()));
    DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\UninstallKeysTest");
}

} // namespace
