// The whole setup as a user runs it, from the sample medium to the restart or the control panel.
#include "support/install_fixture.h"

namespace {

TEST_F(Install, FullInstallFromDriveACopiesExpandsAndRegistersThenOpensControlPanel)
{
    SetupProcess setup(kSampleMedium, SetupExe::OnMedium);
    ASSERT_TRUE(setup.started());
    HWND finish = nullptr;
    ASSERT_NO_FATAL_FAILURE(WalkToFinish(setup, finish));
    EXPECT_EQ(ControlText(finish, IDC_PRODUCT_TEXT),
              "You have installed Kestrel Gamepad successfully !");

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
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, settings, "Joystick1OEMCallout"),
                 "KESTREL.VXD");
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, settings, "Joystick1OEMName"),
                 "Kestrel Gamepad");
    const StoredValue config =
        ReadStoredValue(HKEY_LOCAL_MACHINE, settings, "Joystick1Configuration");
    EXPECT_EQ(config.type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(config.bytes.size(), 112u);
    EXPECT_EQ(Bytes(config.bytes.begin(), config.bytes.begin() + 12),
              (Bytes{0, 0, 0, 0, 0x04, 0, 0, 0, 0x06, 0, 0, 0}));
    EXPECT_EQ(Bytes(config.bytes.begin() + 104, config.bytes.begin() + 108),
              (Bytes{0x0C, 0, 0, 0}));
    EXPECT_FALSE(
        KeyExists(HKEY_LOCAL_MACHINE, kJoystickKey + "\\NoSettings\\CurrentJoystickSettings"));
    ExpectUninstallEntry();
    // The record of what the setup did lies beside the uninstall program; each file in a Windows
    // folder counts one use.
    EXPECT_TRUE(FileExists(kRecord));
    for (const auto& file : SampleTargets()) {
        EXPECT_EQ(UseCount(file.target), file.target.rfind(kDest, 0) == 0 ? 0u : 1u) << file.target;
    }

    // "No" on the finish page: the joystick control panel instead of a restart.
    FinishWithoutRestart(setup, finish);
    EXPECT_EQ(setup.ExitCode(), 0u);
}

TEST_F(Install, FinishWithYesAsksWindowsToRestart)
{
    EndSessionWatcher watcher;
    ASSERT_TRUE(watcher.Noted("READY"));
    SetupProcess setup(kMedium);
    HWND finish = nullptr;
    ASSERT_NO_FATAL_FAILURE(WalkToFinish(setup, finish));
    EXPECT_EQ(SendMessageA(GetDlgItem(finish, IDC_RESTART_NOW), BM_GETCHECK, 0, 0), BST_CHECKED);
    PressButton(finish, IDC_FINISH);
    EXPECT_TRUE(watcher.Noted("QUERYENDSESSION"));
    setup.WaitForExit();
}

TEST_F(Install, AltF4OnTheFinishPageKeepsTheChoiceOfNoRestart)
{
    EndSessionWatcher watcher;
    ASSERT_TRUE(watcher.Noted("READY"));
    SetupProcess setup(kMedium);
    HWND finish = nullptr;
    ASSERT_NO_FATAL_FAILURE(WalkToFinish(setup, finish));
    SendMessageA(GetDlgItem(finish, IDC_RESTART_LATER), BM_CLICK, 0, 0);
    PressAltF4(finish);
    ASSERT_TRUE(setup.WaitForExit());
    ExpectControlPanelThenClose();
    EXPECT_FALSE(watcher.Noted("QUERYENDSESSION", 1000));
}

TEST_F(Install, AltF4OnTheDestinationPageAfterADeclinedCreationCancelsTheSetup)
{
    SetupProcess setup(kMedium);
    HWND destination = nullptr;
    ASSERT_NO_FATAL_FAILURE(WalkToDestination(setup, destination));
    PressButton(destination, IDC_NEXT);
    HWND create = WaitForWindow(setup.id(), "#32770");
    ASSERT_NE(create, nullptr);
    PressButton(create, IDCANCEL);
    ASSERT_TRUE(WaitForWindowGone(setup.id(), "#32770"));
    PressAltF4(destination);

    HWND notice = WaitForMessageBox(setup.id(), kNotCompleted);
    ASSERT_NE(notice, nullptr);
    PressButton(notice, IDOK);
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(WaitForWindow(setup.id(), "SETUP_INSTALL", 0), nullptr);
    EXPECT_FALSE(FileExists(kDest));
    EXPECT_FALSE(FileExists(kSystem + "\\KESTREL.VXD"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kestrel"));
}

TEST_F(Install, ASecondSetupWhileOneRunsIsRefusedBeforeAnyPageAndTheFirstGoesOn)
{
    SetupProcess first(kMedium);
    ASSERT_NE(WaitForWindow(first.id(), "SETUP_BEGIN"), nullptr);
    SetupProcess second(kMedium + "\\" + kSetupName, kMedium);
    HWND refusal = WaitForMessageBox(
        second.id(),
        "Setup is already running.\nFinish or cancel that Setup before you start it again.");
    ASSERT_NE(refusal, nullptr);
    EXPECT_EQ(WindowText(refusal), "Kestrel Gamepad Setup Program");
    EXPECT_EQ(WaitForWindow(second.id(), "SetupMain", 0), nullptr);
    PressButton(refusal, IDOK);
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(WaitForWindow(second.id(), "SETUP_BEGIN", 0), nullptr);

    ASSERT_NO_FATAL_FAILURE(WalkToCopy(first));
    HWND finish = WaitForWindow(first.id(), "SETUP_END");
    ASSERT_NE(finish, nullptr);
    FinishWithoutRestart(first, finish);
    ExpectUninstallEntry();
    for (const auto& file : SampleTargets()) {
        EXPECT_EQ(ReadWholeFile(file.target), ReadWholeFile(kOriginals + "\\" + file.original))
            << file.target;
    }
}

TEST_F(Install, ScriptNamesThatClimbOutOfTheirFoldersAreRefusedAndReported)
{
    const std::string winIni = ReadWholeFile("C:\\windows\\win.ini");
    ASSERT_TRUE(
        WriteWholeFile(kMedium + "\\" + kScriptName,
                       "[Main]\nProductName=Kestrel Gamepad\nDefaultPath=C:\\KESTREL\n"
                       "[DiskLabel]\nDisk1=One\n"
                       "[DirectoryName]\nSubDir1=..\\WINDOWS\nSubDir2=GOOD\nSubDir3=..\\..\n"
                       "SubDir4=..\\NEWDIR\n"
                       "[FileCounts]\nDisk1=5\n[Disk1]\n"
                       "1=WIN.INI,WIN.INI,Settings,SubDir1\n"
                       "2=AUTOEXEC.BAT,AUTOEXEC.BAT,Start-up,SubDir3\n"
                       "3=EVIL.TXT,..\\EVIL.TXT,Beside,RootDir\n"
                       "4=..\\OUTSIDE.TXT,OUTSIDE.TXT,From outside,RootDir\n"
                       "5=GOOD.TXT,GOOD.TXT,Honest,SubDir2\n"));
    for (const char* name : {"WIN.INI", "AUTOEXEC.BAT", "EVIL.TXT", "GOOD.TXT"}) {
        ASSERT_TRUE(WriteWholeFile(kMedium + "\\" + name, std::string("medium's ") + name));
    }
    ASSERT_TRUE(WriteWholeFile("C:\\OUTSIDE.TXT", "not on the medium"));
    const std::set<std::string> rootBefore = FileNamesIn("C:");

    SetupProcess setup(kMedium);
    WalkToCopy(setup);
    ExpectReportThenEnd(setup, "WIN.INI, AUTOEXEC.BAT, EVIL.TXT, ..\\OUTSIDE.TXT");

    EXPECT_EQ(ReadWholeFile("C:\\windows\\win.ini"), winIni);
    EXPECT_EQ(FileNamesIn("C:"), rootBefore);
    EXPECT_FALSE(FileExists("C:\\NEWDIR"));
    EXPECT_EQ(FileNamesIn(kDest), std::set<std::string>{kInstallRecordName});
    EXPECT_EQ(ReadWholeFile(kDest + "\\GOOD\\GOOD.TXT"), "medium's GOOD.TXT");
    DeleteFileA("C:\\OUTSIDE.TXT");
}

TEST_F(Install, MissingSourceIsReportedAndTheSetupEndsWithoutFinishPage)
{
    DeleteFileA((kMedium + "\\KCAL.EX_").c_str());
    SetupProcess setup(kMedium);
    WalkToCopy(setup);

    ExpectReportThenEnd(setup, "KCAL.EX_");

    // The other files are there, the missing one is not, and the registry steps still ran.
    EXPECT_EQ(FileSize(kDest + "\\UTILS\\CALIB\\KCAL.EXE"), -1);
    EXPECT_GT(FileSize(kDest + "\\DOCS\\BUTTONS.TXT"), 0);
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"),
                 "Kestrel Gamepad");
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
    ASSERT_TRUE(WriteWholeFile(kMedium + "\\" + kScriptName, script));

    // The Cancel button, and Alt+F4, which means Cancel on this page.
    const std::function<void(HWND)> cancels[] = {
        [](HWND page) { PostMessageA(GetDlgItem(page, IDC_COPY_CANCEL), BM_CLICK, 0, 0); },
        PressAltF4};
    for (const auto& cancel : cancels) {
        RemoveTree(kDest);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
        SetupProcess setup(kMedium);
        WalkToCopy(setup);
        HWND page = WaitForWindow(setup.id(), "SETUP_INSTALL");
        ASSERT_NE(page, nullptr);
        // Cancel once the gauge has moved, while most files are still to come.
        ASSERT_TRUE(
            WaitUntil([&] { return ControlText(page, IDC_COPY_PERCENT) != "0%"; }, kPatience, 5));
        cancel(page);

        HWND notice = WaitForMessageBox(setup.id(), kNotCompleted);
        ASSERT_NE(notice, nullptr);
        // The notice waits for the user: its loop runs, and comes back for a second round, with
        // the page's quit message held back (it would end the box at once).
        DWORD_PTR ignored;
        for (int round = 0; round < 2; ++round) {
            EXPECT_NE(
                SendMessageTimeoutA(notice, WM_NULL, 0, 0, SMTO_NORMAL, kPatience, &ignored), 0);
        }
        EXPECT_FALSE(setup.HasExited());
        EXPECT_TRUE(IsWindow(notice));
        PressButton(notice, IDOK);
        ASSERT_TRUE(setup.WaitForExit());
        EXPECT_EQ(WaitForWindow(setup.id(), "SETUP_END", 0), nullptr);

        // The files copied are whole, and no temporary file is left.
        int copied = 0;
        std::set<std::string> names = FileNamesIn(kDest);
        EXPECT_EQ(names.erase(kInstallRecordName), 1u);
        for (const auto& name : names) {
            EXPECT_EQ(FileSize(kDest + "\\" + name), static_cast<long long>(content.size()))
                << name;
            ++copied;
        }
        EXPECT_GT(copied, 0);
        EXPECT_LT(copied, kFiles);
        ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"),
                     "Kestrel Gamepad");
    }
}

TEST_F(Install, FilesInUseAreReplacedAtTheNextStartOfWindows)
{
    const std::string driver = kSystem + "\\KESTREL.VXD";
    const std::string panel = kSystem + "\\KPANEL.DLL";
    ASSERT_TRUE(WriteWholeFile(driver, "old driver"));
    ASSERT_TRUE(WriteWholeFile(panel, "old panel"));
    ASSERT_TRUE(WriteWholeFile("C:\\STALE.TMP", "left by an earlier setup"));
    ASSERT_TRUE(WriteWholeFile(kRestartScript,
                               "[rename]\r\nNUL=C:\\STALE.TMP\r\n\r\n[CombineVxDs]\r\nkeep=1\r\n"));
    const std::set<std::string> before = FileNamesIn(kSystem);

    HANDLE heldDriver = HoldOpen(driver);
    HANDLE heldPanel = HoldOpen(panel);
    ASSERT_NE(heldDriver, INVALID_HANDLE_VALUE);
    ASSERT_NE(heldPanel, INVALID_HANDLE_VALUE);
    SetupProcess setup(kMedium);
    HWND finish = nullptr;
    ASSERT_NO_FATAL_FAILURE(WalkToFinish(setup, finish));
    FinishWithoutRestart(setup, finish);
    CloseHandle(heldDriver);
    CloseHandle(heldPanel);

    // The old files are still in place; the new ones wait under temporary names of their own,
    // and nothing else appeared (no name made up from the target's).
    EXPECT_EQ(ReadWholeFile(driver), "old driver");
    EXPECT_EQ(ReadWholeFile(panel), "old panel");
    const std::set<std::string> waiting = NewNames(before, FileNamesIn(kSystem));
    ASSERT_EQ(waiting.size(), 2u);
    const std::string newDriver = ReadWholeFile(kOriginals + "\\KESTREL.VXD");
    std::string driverTemporary;
    std::string panelTemporary;
    for (const auto& name : waiting) {
        std::string upper = name;
        CharUpperA(upper.data());
        EXPECT_EQ(upper.substr(0, 3) + upper.substr(upper.size() - 4), "STP.TMP") << name;
        (ReadWholeFile(kSystem + "\\" + name) == newDriver ? driverTemporary : panelTemporary) =
            kSystem + "\\" + name;
    }
    // Earlier lines and sections stay; the new lines follow the section's own, in copy order.
    char section[1024] = {};
    const DWORD length =
        GetPrivateProfileSectionA("rename", section, sizeof section, kRestartScript.c_str());
    EXPECT_EQ(std::string(section, length),
              std::string("NUL=C:\\STALE.TMP") + '\0' + driver + "=" + driverTemporary + '\0' +
                  panel + "=" + panelTemporary + '\0');
    char kept[8] = {};
    GetPrivateProfileStringA("CombineVxDs", "keep", "", kept, sizeof kept, kRestartScript.c_str());
    EXPECT_STREQ(kept, "1");

    RestartWindows();
    EXPECT_EQ(ReadWholeFile(driver), newDriver);
    EXPECT_EQ(ReadWholeFile(panel), ReadWholeFile(kOriginals + "\\KPANEL.DLL"));
    EXPECT_EQ(NewNames(before, FileNamesIn(kSystem)), std::set<std::string>{});
    EXPECT_FALSE(FileExists("C:\\STALE.TMP"));
}

TEST_F(Install, AFileOfALongNameInUseKeepsItsOldVersionAndIsReported)
{
    // The next start of Windows 95 and 98 would bring it back under its 8.3 alias: nothing waits
    // for that start.
    const std::string longNamed = kSystem + "\\KESTRELPAD.DLL";
    ASSERT_TRUE(WriteWholeFile(longNamed, "old long-named"));
    ASSERT_TRUE(EditFile(kMedium + "\\" + kScriptName, "Disk2=4", "Disk2=5"));
    ASSERT_TRUE(EditFile(kMedium + "\\" + kScriptName, "[REGISTRY_BEGIN]",
                         "5=README.TXT,KESTRELPAD.DLL,Long name,WinSystemDir\n[REGISTRY_BEGIN]"));
    const std::set<std::string> temporaryBefore = TemporaryNamesIn(kSystem);
    HANDLE held = HoldOpen(longNamed);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    SetupProcess setup(kMedium);
    WalkToCopy(setup);
    ExpectReportThenEnd(setup, "README.TXT");
    CloseHandle(held);
    EXPECT_EQ(ReadWholeFile(longNamed), "old long-named");
    EXPECT_EQ(TemporaryNamesIn(kSystem), temporaryBefore);
    EXPECT_EQ(RestartLines(), std::vector<std::string>{});
    EXPECT_EQ(UseCount(longNamed), 0u);
    EXPECT_EQ(ReadWholeFile(kDest + "\\README.TXT"), ReadWholeFile(kOriginals + "\\README.TXT"));
    DeleteFileA(longNamed.c_str());
}

TEST_F(Install, AReplacementWaitingForTheRestartOutlivesAnotherInstallBeforeIt)
{
    const std::string driver = kSystem + "\\KESTREL.VXD";
    ASSERT_TRUE(WriteWholeFile(driver, "old driver"));
    const std::set<std::string> before = TemporaryNamesIn(kSystem);
    HANDLE held = HoldOpen(driver);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_NO_FATAL_FAILURE(InstallSample());
    const std::set<std::string> waiting = NewNames(before, TemporaryNamesIn(kSystem));
    ASSERT_EQ(waiting.size(), 1u);
    const std::string firstWaiting = kSystem + "\\" + *waiting.begin();

    // The setup runs again before that start: the file that waits is no leftover of a stopped
    // run, and stays, whole, with its line in WININIT.INI.
    ASSERT_NO_FATAL_FAILURE(InstallSample(true));
    CloseHandle(held);
    const std::string newDriver = ReadWholeFile(kOriginals + "\\KESTREL.VXD");
    EXPECT_EQ(ReadWholeFile(firstWaiting), newDriver);
    const std::vector<std::string> lines = RestartLines();
    ASSERT_FALSE(lines.empty());
    std::string firstLine = driver + "=" + firstWaiting;
    CharUpperA(firstLine.data());
    EXPECT_EQ(lines.front(), firstLine);

    RestartWindows();
    EXPECT_EQ(ReadWholeFile(driver), newDriver);
    EXPECT_EQ(TemporaryNamesIn(kSystem), before);
}

TEST_F(Install, DamagedSourceAndReadOnlyTargetKeepTheOldFilesAndAreReported)
{
    const std::string driver = kSystem + "\\KESTREL.VXD";
    const std::string panel = kSystem + "\\KPANEL.DLL";
    ASSERT_TRUE(WriteWholeFile(driver, "old driver"));
    ASSERT_TRUE(WriteWholeFile(panel, "old panel"));
    ASSERT_TRUE(SetFileAttributesA(panel.c_str(), FILE_ATTRIBUTE_READONLY));
    // A valid header, but only part of the compressed body.
    const std::string compressed = ReadWholeFile(kMedium + "\\KESTREL.VX_");
    ASSERT_TRUE(
        WriteWholeFile(kMedium + "\\KESTREL.VX_", compressed.substr(0, compressed.size() / 2)));
    // A compressed file whose header records fewer bytes than its data expands to.
    std::string shortened = ReadWholeFile(kMedium + "\\KESTREL.IN_");
    ASSERT_EQ(shortened.rfind("SZDD", 0), 0u);
    std::uint32_t recorded = 0;
    std::memcpy(&recorded, shortened.data() + 10, 4); // the header's length, little-endian
    ASSERT_GT(recorded, 0u);
    --recorded;
    std::memcpy(shortened.data() + 10, &recorded, 4);
    ASSERT_TRUE(WriteWholeFile(kMedium + "\\KESTREL.IN_", shortened));
    // A record with a target name but no source (named by the name it has), and one aimed at the
    // install record.
    ASSERT_TRUE(EditFile(kMedium + "\\" + kScriptName, "Disk2=4", "Disk2=6"));
    ASSERT_TRUE(EditFile(kMedium + "\\" + kScriptName, "[REGISTRY_BEGIN]",
                         "5=,LONELY.TXT,Only a target,RootDir\n"
                         "6=README.TXT,uninstal.dat,The record,RootDir\n[REGISTRY_BEGIN]"));
    const std::set<std::string> before = FileNamesIn(kSystem);
    const std::set<std::string> infBefore = FileNamesIn("C:\\windows\\inf");

    SetupProcess setup(kMedium);
    WalkToCopy(setup);
    ExpectReportThenEnd(setup, "KESTREL.VX_, KESTREL.IN_, KPANEL.DL_, LONELY.TXT, README.TXT");

    EXPECT_EQ(ReadWholeFile(driver), "old driver");
    EXPECT_EQ(ReadWholeFile(panel), "old panel");
    EXPECT_EQ(FileNamesIn(kSystem), before);
    EXPECT_EQ(FileNamesIn("C:\\windows\\inf"), infBefore);
    EXPECT_EQ(ReadWholeFile(kDest + "\\README.TXT"), ReadWholeFile(kOriginals + "\\README.TXT"));
    EXPECT_EQ(ReadWholeFile(kRecord).rfind("48A64299 H\tC:\\KESTREL\r\n", 0), 0u);
}

TEST_F(Install, ANewerFileThereIsKeptAndAnOlderOneReplaced)
{
    const std::string panel = kSystem + "\\KPANEL.DLL";
    const auto dll = [](int version) {
        return ReadWholeFile(WindowsPathOf(SETUP_BUILD_DIR "/tests/win32/PANELV") +
                             std::to_string(version) + ".dll");
    };
    const std::string v1 = dll(1);
    const std::string v2 = dll(2);
    const std::string v120 = dll(120);
    const std::string v115 = dll(115);
    ASSERT_FALSE(v1.empty() || v2.empty() || v120.empty() || v115.empty());
    const struct {
        const char* what;
        std::string there;
        std::string onMedium;
        bool kept;
    } table[] = {
        {"a newer one there", v2, v1, true},
        {"an older one there", v1, v2, false},
        {"one of the same version there", v1 + "and more", v1, false},
        {"one without a version there", "old panel", v1, false},
        {"one coming without a version", v2, "new panel", false},
        // The second number outweighs every lower one: 1.2.0.0 is newer than 1.1.5.0.
        {"1.2 there, 1.1.5 coming", v120, v115, true},
        {"1.1.5 there, 1.2 coming", v115, v120, false},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        RemoveTree(kDest);
        SetFileAttributesA(panel.c_str(), FILE_ATTRIBUTE_NORMAL);
        ASSERT_TRUE(WriteWholeFile(panel, row.there));
        SetValue(HKEY_LOCAL_MACHINE, kSharedCounts, panel.c_str(), REG_DWORD, std::string(4, '\0'));
        // The medium carries the DLL as it is: expanding a file that is not compressed copies it.
        ASSERT_TRUE(WriteWholeFile(kMedium + "\\KPANEL.DL_", row.onMedium));

        // Keeping the newer file is no failure: the finish page follows.
        ASSERT_NO_FATAL_FAILURE(InstallSample());
        EXPECT_EQ(ReadWholeFile(panel), row.kept ? row.there : row.onMedium);
        // The record names the file as the loader builds its path, and whether it was kept.
        const std::string line = std::string("F\tC:\\windows\\SYSTEM\\KPANEL.DLL\tew") +
                                 (row.kept ? "k\t" : "\t");
        EXPECT_NE(ReadWholeFile(kRecord).find(line), std::string::npos) << ReadWholeFile(kRecord);
        // Another program's file that was there without a count: its use and ours.
        EXPECT_EQ(UseCount(panel), 2u);
    }
}

TEST_F(Install, MissingNumberedKeyIsPassedOverWithoutReport)
{
    ASSERT_TRUE(EditFile(kMedium + "\\" + kScriptName,
                         "2=BUTTONS.TXT,BUTTONS.TXT,Button layout,SubDir3\n", ""));
    SetupProcess setup(kMedium);
    HWND finish = nullptr;
    ASSERT_NO_FATAL_FAILURE(WalkToFinish(setup, finish));
    EXPECT_FALSE(FileExists(kDest + "\\DOCS\\BUTTONS.TXT"));
    EXPECT_TRUE(FileExists(kDest + "\\DOCS\\KESTREL.HLP"));
    FinishWithoutRestart(setup, finish);
}

TEST_F(Install, FullDiskWhileReplacingKeepsTheOldFile)
{
    // The destination on a small file system of its own, holding an old version that leaves no
    // room for the new one beside it.
    const char* prefix = std::getenv("WINEPREFIX");
    ASSERT_NE(prefix, nullptr);
    const std::string mountPoint = std::string(prefix) + "/drive_c/KESTREL";
    ASSERT_TRUE(CreateDirectoryA(kDest.c_str(), nullptr));
    if (RunHostShell("mount -t tmpfs -o size=320k tmpfs '" + mountPoint + "'") != 0) {
        GTEST_SKIP() << "a small file system needs root to mount";
    }
    const std::string content(240 * 1024, 'n');
    const std::string old(120 * 1024, 'o');
    ASSERT_TRUE(WriteWholeFile(kMedium + "\\BIG.DAT", content));
    ASSERT_TRUE(WriteWholeFile(kMedium + "\\" + kScriptName,
                               "[Main]\nProductName=Kestrel Gamepad\nDefaultPath=C:\\KESTREL\n"
                               "MinimumSpace=0\n[DiskLabel]\nDisk1=One\n[FileCounts]\nDisk1=1\n"
                               "[Disk1]\n1=BIG.DAT,BIG.DAT,Data,RootDir\n"));
    const bool oldWritten = WriteWholeFile(kDest + "\\BIG.DAT", old);

    SetupProcess setup(kMedium);
    WalkToCopy(setup, true);
    ExpectReportThenEnd(setup, "BIG.DAT");
    EXPECT_TRUE(oldWritten);
    EXPECT_TRUE(ReadWholeFile(kDest + "\\BIG.DAT") == old);
    EXPECT_EQ(FileNamesIn(kDest), (std::set<std::string>{"BIG.DAT", kInstallRecordName}));
    EXPECT_EQ(RunHostShell("umount '" + mountPoint + "'"), 0);
}

TEST_F(Install, AFolderHoldingAnotherProgramsUninstalDatIsLeftAlone)
{
    // The destination holds a file of the record's name that another setup program wrote.
    ASSERT_TRUE(CreateDirectoryA(kDest.c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(kRecord, "[Another setup's log]\r\nfile=C:\\WINDOWS\\WIN.INI\r\n"));
    SetupProcess setup(kMedium);
    WalkToCopy(setup, true);
    ExpectReportThenEnd(setup, kInstallRecordName);
    EXPECT_EQ(ReadWholeFile(kRecord), "[Another setup's log]\r\nfile=C:\\WINDOWS\\WIN.INI\r\n");
    EXPECT_EQ(FileNamesIn(kDest), std::set<std::string>{kInstallRecordName});
    for (const auto& file : SampleTargets()) {
        EXPECT_FALSE(FileExists(file.target)) << file.target;
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kestrel"));
}

TEST_F(Install, ASetupStoppedMidCopyAndRunAgainLeavesNoTemporaryFile)
{
    ASSERT_NO_FATAL_FAILURE(StopDuringALargeFile());
    ASSERT_EQ(TemporaryNamesIn(kDest).size(), 1u);
    ASSERT_NO_FATAL_FAILURE(InstallSample(true));
    EXPECT_EQ(TemporaryNamesIn(kDest), std::set<std::string>{});
    EXPECT_EQ(TemporaryNamesIn(kSystem), std::set<std::string>{});
    EXPECT_EQ(FileSize(kDest + "\\BIG.BIN"), kLargeFileSize);
    EXPECT_TRUE(FileExists(kDest + "\\README.TXT"));
}

TEST_F(Install, AnEarlierRecordWithATornLastLineIsCutBeforeTheNextInstallAddsToIt)
{
    ASSERT_NO_FATAL_FAILURE(InstallSample());
    // A setup stopped while it wrote a line leaves that line's start.
    const std::string earlier = ReadWholeFile(kRecord);
    ASSERT_GT(earlier.size(), 4u);
    const std::size_t lastLine = earlier.rfind("\r\n", earlier.size() - 3) + 2;
    ASSERT_TRUE(WriteWholeFile(
        kRecord, earlier + earlier.substr(lastLine, (earlier.size() - lastLine) / 2)));

    ASSERT_NO_FATAL_FAILURE(InstallSample(true));
    // The earlier lines stay, and every line, the new ones included, holds its check.
    const std::string record = ReadWholeFile(kRecord);
    EXPECT_EQ(record.substr(0, earlier.size()), earlier);
    EXPECT_GT(record.size(), earlier.size());
    for (std::size_t start = 0; start < record.size();) {
        const std::size_t end = record.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << record.substr(start);
        const std::string line = record.substr(start, end + 2 - start);
        std::size_t position = 0;
        RecordLine read{};
        EXPECT_TRUE(ReadRecordLine(line.data(), line.size(), position, read)) << line;
        start = end + 2;
    }
}

TEST_F(Install, ALongDestinationInstallsWholeAndATooLongOneIsRefused)
{
    // 75 characters, whose files' paths reach 96.
    const std::string longest =
        "C:\\Kestrel Gamepad for Windows 95 and 98 with calibration and a help file 2";
    ASSERT_EQ(longest.size(), 75u);
    RemoveTree(longest);
    SetupProcess setup(kMedium);
    HWND destination = nullptr;
    ASSERT_NO_FATAL_FAILURE(WalkToDestination(setup, destination));
    // Five characters more than the destination holds: refused whole, and the page stays.
    const std::string tooLong = longest + "\\MORE";
    SendMessageA(GetDlgItem(destination, IDC_DESTINATION_TEXT), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(tooLong.c_str()));
    PressButton(destination, IDC_NEXT);
    HWND refusal = WaitForMessageBox(
        setup.id(),
        "The specified directory name is too long !\nIt can have at most 79 characters.");
    ASSERT_NE(refusal, nullptr);
    PressButton(refusal, IDOK);
    ASSERT_TRUE(WaitForWindowGone(setup.id(), "#32770"));
    EXPECT_TRUE(IsWindowVisible(destination));
    EXPECT_EQ(ControlText(destination, IDC_DESTINATION_TEXT), tooLong);
    EXPECT_FALSE(FileExists(longest));

    SendMessageA(GetDlgItem(destination, IDC_DESTINATION_TEXT), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(longest.c_str()));
    PressButton(destination, IDC_NEXT);
    HWND question = WaitForWindow(setup.id(), "#32770");
    ASSERT_NE(question, nullptr);
    PressButton(question, IDOK);
    HWND finish = WaitForWindow(setup.id(), "SETUP_END");
    ASSERT_NE(finish, nullptr);
    FinishWithoutRestart(setup, finish);

    for (auto file : SampleTargets()) {
        if (file.target.rfind(kDest, 0) == 0) {
            file.target.replace(0, kDest.size(), longest);
        }
        EXPECT_EQ(ReadWholeFile(file.target), ReadWholeFile(kOriginals + "\\" + file.original))
            << file.target;
    }
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
                 "\"" + longest + "\\" + kUninstallerName + "\"");
    std::string message;
    ASSERT_NO_FATAL_FAILURE(
        Uninstall(IDYES, message, "Kestrel Gamepad", longest + "\\" + kUninstallerName));
    EXPECT_FALSE(FileExists(longest));
    // The uninstall program knows its entry by the path inside the quotes.
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

// ---- A set of disks

TEST_F(Install, ATwoFloppySetAsksForTheSecondDiskInstallsWholeAndUninstallsClean)
{
    const std::string others = OthersThings();
    ASSERT_NO_FATAL_FAILURE(PutInDriveA(kSetDisks + "/disk1"));
    std::unique_ptr<SetupProcess> copy;
    HWND question = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartSet(kSampleMedium, copy, question));
    // Disk 1's files are in place, disk 2's not yet, and the question comes from the program's
    // copy in the temporary folder.
    EXPECT_TRUE(FileExists(kDest + "\\README.TXT"));
    EXPECT_FALSE(FileExists(kDest + "\\DOCS\\BUTTONS.TXT"));
    const std::string running = SetupCopy();
    ASSERT_NE(running, "");

    ASSERT_NO_FATAL_FAILURE(PutInDriveA(kSetDisks + "/disk2"));
    ASSERT_NO_FATAL_FAILURE(TakeDisk2(*copy, question));
    // The record named the copy before it existed, and the copy has left itself to the next
    // start of Windows.
    EXPECT_NE(ReadWholeFile(kRecord).find("T\t" + running + "\r\n"), std::string::npos);
    std::string deleted = "NUL=" + running;
    CharUpperA(deleted.data());
    const std::vector<std::string> lines = RenameLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), deleted), lines.end());
    ExpectCleanUninstall(others);
}

TEST_F(Install, TheWrongDiskInTheDriveIsAskedForAgain)
{
    ASSERT_NO_FATAL_FAILURE(PutInDriveA(kSetDisks + "/disk1"));
    std::unique_ptr<SetupProcess> copy;
    HWND question = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartSet(kSampleMedium, copy, question));
    // Disk 1 still in the drive; then another product's disk, with a read-me of the same name as
    // disk 1's, which tells no disk of the set.
    ExpectNotTaken(question);
    const std::string wrong = FreshFolder("C:\\WRONGDISK");
    ASSERT_TRUE(WriteWholeFile(wrong + "\\README.TXT", "another product's read-me"));
    const std::string prefix = std::getenv("WINEPREFIX");
    ASSERT_NO_FATAL_FAILURE(PutInDriveA(prefix + "/drive_c/WRONGDISK"));
    SendMessageA(GetDlgItem(question, IDC_DISK_NOT_THERE), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(""));
    ExpectNotTaken(question);
    EXPECT_EQ(ControlText(question, IDC_DISK_PATH), "A:");

    ASSERT_NO_FATAL_FAILURE(PutInDriveA(kSetDisks + "/disk2"));
    TakeDisk2(*copy, question);
}

TEST_F(Install, CancelAtTheQuestionForADiskGivesTheNoticeAndTheUninstallTakesBackWhatWasPlaced)
{
    const std::string others = OthersThings();
    // The uninstall program goes onto disk 1, where a disk author puts it, so that a setup
    // cancelled before disk 2 can be taken back.
    ASSERT_NO_FATAL_FAILURE(CopySet("C:\\KSET", false));
    const std::string script = std::string("C:\\KSET\\DISK1\\") + kScriptName;
    ASSERT_TRUE(EditFile(script, "Disk1=4\n", "Disk1=5\n"));
    ASSERT_TRUE(EditFile(script, "Disk2=4\n", "Disk2=3\n"));
    ASSERT_TRUE(EditFile(script, "\n[Disk2]",
                         "\n5=UNINSTAL.EX_,UNINSTAL.EXE,Uninstall program,RootDir\n[Disk2]"));
    ASSERT_TRUE(MoveFileA("C:\\KSET\\DISK2\\UNINSTAL.EX_", "C:\\KSET\\DISK1\\UNINSTAL.EX_"));
    std::unique_ptr<SetupProcess> copy;
    HWND question = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartSet("C:\\KSET\\DISK1", copy, question));

    PressButton(question, IDCANCEL);
    HWND notice = WaitForMessageBox(copy->id(), kNotCompleted);
    ASSERT_NE(notice, nullptr);
    PressButton(notice, IDOK);
    ASSERT_TRUE(copy->WaitForExit());
    EXPECT_EQ(WaitForWindow(copy->id(), "SETUP_END", 0), nullptr);
    EXPECT_TRUE(FileExists(kSystem + "\\KPANEL.DLL"));
    EXPECT_TRUE(FileExists(kUninstaller));
    EXPECT_FALSE(FileExists(kDest + "\\DOCS\\BUTTONS.TXT"));
    ExpectUninstallEntry();
    ExpectCleanUninstall(others);
}

TEST_F(Install, ASetCopiedIntoOneFolderInstallsWithoutAQuestion)
{
    ASSERT_NO_FATAL_FAILURE(CopySet("C:\\KSET", true));
    SetupProcess setup("C:\\KSET", SetupExe::OnMedium);
    // The setup itself shows the finish page: it handed over to no copy, which alone asks.
    HWND finish = nullptr;
    ASSERT_NO_FATAL_FAILURE(WalkToFinish(setup, finish));
    EXPECT_EQ(SetupCopy(), "");
    ExpectSampleInstalled();
    FinishWithoutRestart(setup, finish);
}

TEST_F(Install, ASetCopiedAsAFolderPerDiskInstallsWhenTheUserTypesTheSecondFolder)
{
    ASSERT_NO_FATAL_FAILURE(CopySet("C:\\KSET", false));
    std::unique_ptr<SetupProcess> copy;
    HWND question = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartSet("C:\\KSET\\DISK1", copy, question));
    // Typed with a backslash at its end, as the browse dialog gives a drive's root.
    TakeDisk2(*copy, question, "C:\\KSET\\DISK2\\");
}

TEST_F(Install, AFileMissingFromADiskThatWasAskedForIsAskedForOnceThenReported)
{
    ASSERT_NO_FATAL_FAILURE(CopySet("C:\\KSET", false));
    ASSERT_TRUE(DeleteFileA("C:\\KSET\\DISK2\\BUTTONS.TXT"));
    std::unique_ptr<SetupProcess> copy;
    HWND question = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartSet("C:\\KSET\\DISK1", copy, question));
    SendMessageA(GetDlgItem(question, IDC_DISK_PATH), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>("C:\\KSET\\DISK2"));
    PressButton(question, IDOK);

    // The disk is taken; its missing file is asked for with the same question, in the folder
    // taken, and Cancel leaves it out.
    HWND again = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            again = WaitForWindow(copy->id(), "SETUP_DISK", 0);
            return again != nullptr && again != question;
        }));
    EXPECT_EQ(ControlText(again, IDC_DISK_QUESTION), kInsertDisk2);
    EXPECT_EQ(ControlText(again, IDC_DISK_PATH), "C:\\KSET\\DISK2");
    PressButton(again, IDCANCEL);
    ExpectReportThenEnd(*copy, "BUTTONS.TXT");
    EXPECT_TRUE(FileExists(kDest + "\\DOCS\\KESTREL.HLP"));
    EXPECT_FALSE(FileExists(kDest + "\\DOCS\\BUTTONS.TXT"));
}

} // namespace
