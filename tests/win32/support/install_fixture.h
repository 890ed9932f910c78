// The whole setup as a user runs it, from the sample medium to the restart or the control panel,
// and the uninstall entry's program after it: the medium, the places and names they use, what
// other programs hold on the test machine, and a fixture that walks the pages and runs the
// uninstall. The sample medium is drive A:, which holds what was read back from the medium's
// floppy image.
#pragma once

#include "base/resource_ids.h"
#include "record/install_record.h"
#include "script/script_names.h"
#include "support/automation.h"
#include "support/registry_values.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

const std::string kMedium = "C:\\MEDIUM";
const std::string kDest = "C:\\KESTREL";
const std::string kSampleMedium = "A:";
const std::string kOriginals = WindowsPathOf(SETUP_BUILD_DIR "/originals");
const std::string kJoystickKey = "System\\CurrentControlSet\\control\\MediaResources\\joystick";
const std::string kSettings = "\\msjstick.drv<0000>\\CurrentJoystickSettings";
const char kProfileClass[] = "KestrelGamepad.Profile";
const std::string kMediaClass = "System\\CurrentControlSet\\Services\\Class\\MEDIA";
const char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrel Gamepad";

struct Installed {
    const char* original; // name in sample/files
    std::string target;
};

inline std::vector<Installed> SampleTargets()
{
    return {
        {"README.TXT", kDest + "\\README.TXT"},
        {"KESTREL.VXD", "C:\\windows\\system\\KESTREL.VXD"},
        {"KESTREL.INF", "C:\\windows\\inf\\KESTREL.INF"},
        {"KPANEL.DLL", "C:\\windows\\system\\KPANEL.DLL"},
        {"KCAL.EXE", kDest + "\\UTILS\\CALIB\\KCAL.EXE"},
        {"BUTTONS.TXT", kDest + "\\DOCS\\BUTTONS.TXT"},
        {"KESTREL.HLP", kDest + "\\DOCS\\KESTREL.HLP"},
        {"UNINSTAL.EXE", kDest + "\\" + kUninstallerName},
    };
}

inline void ExpectUninstallEntry()
{
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"),
                 "Kestrel Gamepad");
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
                 "C:\\KESTREL\\UNINSTAL.EXE");
}

const std::string kSystem = "C:\\windows\\system";
const std::string kRestartScript = "C:\\windows\\WININIT.INI";
const std::string kRecord = kDest + "\\" + kInstallRecordName;
constexpr long long kLargeFileSize = 48 << 20;
const std::string kUninstaller = kDest + "\\" + kUninstallerName;
const char kSharedCounts[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char kRemoved[] = "Kestrel Gamepad has been removed from your computer.";
const char kPutBack[] = "\n\nSettings that Setup had changed are as they were before.";
const char kRestartNeeded[] =
    "\n\nWindows must restart to finish: files that are in use are removed then.";
const char kNotCopied[] = "These files could not be copied:\n\n";
const char kNotCompleted[] = "Kestrel Gamepad installation is not completed !";
// The sample's set of two floppies, each read back into a folder (disk1, disk2) of this machine.
const std::string kSetDisks = SETUP_BUILD_DIR "/sample-set";
const char kInsertDisk2[] = "Please insert the disk labelled\n\nKestrel Gamepad Driver Disk 2\n\n"
                            "and click OK, or type the folder that holds its files:";
const char kDiskNotThere[] = "That disk is not in this drive or folder.";

// Replaces the first `from` in a file with `to`.
inline bool EditFile(const std::string& path, const std::string& from, const std::string& to)
{
    std::string text = ReadWholeFile(path);
    const std::size_t at = text.find(from);
    if (at == std::string::npos) {
        return false;
    }
    text.replace(at, from.size(), to);
    return WriteWholeFile(path, text);
}

// Opens a file without sharing, as Windows holds a loaded driver or DLL.
inline HANDLE HoldOpen(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

inline std::set<std::string> NewNames(const std::set<std::string>& before,
                               const std::set<std::string>& after)
{
    std::set<std::string> added;
    for (const auto& name : after) {
        if (before.count(name) == 0) {
            added.insert(name);
        }
    }
    return added;
}

// The names of files that the setup left under temporary names.
inline std::set<std::string> TemporaryNamesIn(const std::string& folder)
{
    std::set<std::string> temporary;
    for (std::string name : FileNamesIn(folder)) {
        CharUpperA(name.data());
        if (name.rfind("STP", 0) == 0 && name.size() > 4 &&
            name.substr(name.size() - 4) == ".TMP") {
            temporary.insert(name);
        }
    }
    return temporary;
}

// The lines of WININIT.INI's [rename] section, in capitals.
inline std::vector<std::string> RenameLines()
{
    std::vector<char> section(32768);
    const DWORD length = GetPrivateProfileSectionA("rename", section.data(),
                                                   static_cast<DWORD>(section.size()),
                                                   kRestartScript.c_str());
    std::vector<std::string> lines;
    for (const char* line = section.data(); line < section.data() + length && *line != '\0';
         line += std::strlen(line) + 1) {
        lines.emplace_back(line);
        CharUpperA(lines.back().data());
    }
    return lines;
}

// True for the line of the uninstall program's copy in the temporary folder, which deletes
// itself at the next start.
inline bool IsTheCopysLine(const std::string& line)
{
    char temporary[MAX_PATH] = {};
    GetTempPathA(sizeof temporary, temporary);
    std::string copies = "NUL=" + std::string(temporary) + "UNI";
    CharUpperA(copies.data());
    return line.rfind(copies, 0) == 0;
}

// The [rename] lines but the copy's.
inline std::vector<std::string> RestartLines()
{
    std::vector<std::string> lines = RenameLines();
    lines.erase(std::remove_if(lines.begin(), lines.end(), IsTheCopysLine), lines.end());
    return lines;
}

// The copy has left itself to the next start: the last thing it does.
inline bool CopyLeftToTheRestart()
{
    const std::vector<std::string> lines = RenameLines();
    return std::any_of(lines.begin(), lines.end(), IsTheCopysLine);
}

inline void SetValue(HKEY root, const std::string& keyPath, const char* name, DWORD type,
              const std::string& data)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

inline DWORD UseCount(const std::string& path)
{
    const StoredValue count = ReadStoredValue(HKEY_LOCAL_MACHINE, kSharedCounts, path);
    return count.found && count.bytes.size() == 4
               ? *reinterpret_cast<const DWORD*>(count.bytes.data())
               : 0;
}

// What other programs hold on the test machine (see tools/make-wine-prefix.sh), and the system's
// settings that a script may overwrite, as one text: an install and its uninstall leave it as it
// was.
struct OthersValue {
    HKEY root;
    std::string keyPath;
    const char* name;
};
const std::string kEnvironment = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
const std::string kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const OthersValue kOthersValues[] = {
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Falcon\\Stick", "Speed"},
    {HKEY_LOCAL_MACHINE, kSharedCounts, "C:\\windows\\system\\FALSHARE.DLL"},
    {HKEY_LOCAL_MACHINE, kCurrentVersion + "\\Uninstall\\Falcon Stick", "DisplayName"},
    {HKEY_LOCAL_MACHINE, kCurrentVersion + "\\Uninstall\\Falcon Stick", "UninstallString"},
    {HKEY_CLASSES_ROOT, ".fal", ""},
    {HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir"},
    {HKEY_LOCAL_MACHINE, kCurrentVersion, "CommonFilesDir"},
    {HKEY_CLASSES_ROOT, "exefile\\shell\\open\\command", ""},
    {HKEY_LOCAL_MACHINE, kEnvironment, "PATH"},
};

inline std::string OthersThings()
{
    std::string text;
    for (const auto& value : kOthersValues) {
        const StoredValue stored = ReadStoredValue(value.root, value.keyPath, value.name);
        text += value.keyPath + "\\" + value.name + " = " + std::to_string(stored.type) + ":" +
                std::string(stored.bytes.begin(), stored.bytes.end()) + "\n";
    }
    for (const char* file : {"C:\\FALCON\\FALCON.EXE", "C:\\windows\\system\\FALSHARE.DLL"}) {
        text += std::string(file) + " = " + ReadWholeFile(file) + "\n";
    }
    return text;
}

// Windows' next start as Wine makes it: the [rename] section of WININIT.INI is carried out.
inline void RestartWindows()
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION boot{};
    std::string command = "wineboot.exe -r";
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &boot));
    EXPECT_EQ(WaitForSingleObject(boot.hProcess, kPatience), WAIT_OBJECT_0);
    CloseHandle(boot.hProcess);
    CloseHandle(boot.hThread);
}

// Alt+F4 as the keyboard gives it to a window.
inline void PressAltF4(HWND window)
{
    PostMessageA(window, WM_SYSKEYDOWN, VK_F4, 1 << 29);
}

// A program with a hidden window that notes in a file when Windows asks to end the session.
class EndSessionWatcher {
public:
    EndSessionWatcher()
    {
        DeleteFileA(kNote);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string command = "\"" +
                              WindowsPathOf(SETUP_BUILD_DIR "/tests/win32/endsession_watcher.exe") +
                              "\" " + kNote;
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process_);
    }
    ~EndSessionWatcher()
    {
        if (process_.hProcess != nullptr) {
            TerminateProcess(process_.hProcess, 0);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
    }
    bool Noted(const char* word, DWORD milliseconds = kPatience) const
    {
        return WaitUntil(
            [&] { return ReadWholeFile(kNote).find(word) != std::string::npos; }, milliseconds);
    }

private:
    static constexpr char kNote[] = "C:\\ENDSESSION.TXT";
    PROCESS_INFORMATION process_{};
};

class Install : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreshFolder(kMedium);
        RemoveTree(kDest);
        for (const std::string& path : {kSystem + "\\KESTREL.VXD", kSystem + "\\KPANEL.DLL",
                                        std::string("C:\\windows\\inf\\KESTREL.INF")}) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
        DeleteFileA(kRestartScript.c_str());
        // The copies of SETUP.EXE that earlier tests' sets left to the next start go with it.
        for (std::string copy = SetupCopy(); !copy.empty() && DeleteFileA(copy.c_str());
             copy = SetupCopy()) {
        }
        // Each test installs afresh: the use counts of earlier tests' installs go.
        HKEY counts = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedCounts, 0, KEY_ALL_ACCESS, &counts) ==
            ERROR_SUCCESS) {
            for (const auto& file : SampleTargets()) {
                RegDeleteValueA(counts, file.target.c_str());
            }
            RegCloseKey(counts);
        }
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kestrel");
        DeleteKeyTree(HKEY_CLASSES_ROOT, kProfileClass);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kJoystickKey);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kMediaClass);
        ASSERT_TRUE(CopyFolderFiles(kSampleMedium, kMedium));
        DeleteFileA((kMedium + "\\" + kSetupName).c_str());
        ASSERT_TRUE(CreateTestKey(HKEY_LOCAL_MACHINE, kJoystickKey + kSettings, true));
        ASSERT_TRUE(CreateTestKey(HKEY_LOCAL_MACHINE, kJoystickKey + "\\NoSettings", true));
    }

    // Welcome and destination pages with Next, creating the destination (or using the existing
    // one); the user types `typed` as the destination when it is given.
    // The welcome page with Next: `destination` gets the destination page, which shows the
    // default destination.
    static void WalkToDestination(SetupProcess& setup, HWND& destination,
                                  const std::string& product = "Kestrel Gamepad")
    {
        HWND welcome = WaitForWindow(setup.id(), "SETUP_BEGIN");
        ASSERT_NE(welcome, nullptr);
        EXPECT_EQ(WindowText(welcome), product + " Setup");
        PressButton(welcome, IDC_NEXT);
        destination = WaitForWindow(setup.id(), "SETUP_SELDIR");
        ASSERT_NE(destination, nullptr);
        EXPECT_EQ(ControlText(destination, IDC_DESTINATION_TEXT), kDest);
    }

    void WalkToCopy(SetupProcess& setup, bool destinationExists = false,
                    const std::string& product = "Kestrel Gamepad", const std::string& typed = "")
    {
        HWND destination = nullptr;
        ASSERT_NO_FATAL_FAILURE(WalkToDestination(setup, destination, product));
        if (!typed.empty()) {
            SendMessageA(GetDlgItem(destination, IDC_DESTINATION_TEXT), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(typed.c_str()));
        }
        PressButton(destination, IDC_NEXT);
        HWND question = WaitForWindow(setup.id(), "#32770");
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(
            MessageBoxText(question),
            destinationExists
                ? "The specified directory is already existed !\nDo you still want to copy "
                  "to this directory ?"
                : "The specified directory is not existed!\n Are you sure you want to create it ?");
        PressButton(question, IDOK);
    }

    // Welcome and destination pages with Next, then the copy up to the finish page.
    void WalkToFinish(SetupProcess& setup, HWND& finish)
    {
        WalkToCopy(setup);
        finish = WaitForWindow(setup.id(), "SETUP_END");
        ASSERT_NE(finish, nullptr);
    }

    // The failure report names `names`; then the notice, and the setup ends without its finish
    // page.
    static void ExpectReportThenEnd(SetupProcess& setup, const std::string& names)
    {
        HWND report = WaitForMessageBox(setup.id(), kNotCopied + names);
        ASSERT_NE(report, nullptr);
        EXPECT_EQ(WindowText(report), "Kestrel Gamepad Setup Program");
        PressButton(report, IDOK);
        HWND notice = WaitForMessageBox(setup.id(), kNotCompleted);
        ASSERT_NE(notice, nullptr);
        PressButton(notice, IDOK);
        ASSERT_TRUE(setup.WaitForExit());
        EXPECT_EQ(WaitForWindow(setup.id(), "SETUP_END", 0), nullptr);
    }

    // The whole setup with the medium (by default the sample's, into its destination), Finish
    // with "No".
    void InstallSample(bool destinationExists = false,
                       const std::string& product = "Kestrel Gamepad",
                       const std::string& typed = "")
    {
        SetupProcess setup(kMedium);
        ASSERT_NO_FATAL_FAILURE(WalkToCopy(setup, destinationExists, product, typed));
        HWND finish = WaitForWindow(setup.id(), "SETUP_END");
        ASSERT_NE(finish, nullptr);
        FinishWithoutRestart(setup, finish);
    }

    // Starts the setup with a script of the uninstall program, a file in SYSTEM and a large file,
    // and stops it during the large file's expansion, as a power cut or the task list would.
    void StopDuringALargeFile()
    {
        ASSERT_TRUE(WriteWholeFile(kMedium + "\\BIG.BIN", std::string(kLargeFileSize, 'b')));
        ASSERT_TRUE(WriteWholeFile(kMedium + "\\" + kScriptName,
                                   "[Main]\nProductName=Kestrel Gamepad\nDefaultPath=C:\\KESTREL\n"
                                   "[DiskLabel]\nDisk1=One\n[DirectoryName]\nWinSystemDir=\n"
                                   "[FileCounts]\nDisk1=4\n[Disk1]\n"
                                   "1=UNINSTAL.EX_,UNINSTAL.EXE,Uninstall program,RootDir\n"
                                   "2=KPANEL.DL_,KPANEL.DLL,Panel,WinSystemDir\n"
                                   "3=BIG.BIN,BIG.BIN,Big,RootDir\n"
                                   "4=README.TXT,README.TXT,Read me,RootDir\n"));
        SetupProcess setup(kMedium);
        ASSERT_NO_FATAL_FAILURE(WalkToCopy(setup));
        // Once the file in SYSTEM is in place, the only temporary file in the destination is the
        // large file's.
        ASSERT_TRUE(WaitUntil(
            [] { return FileExists(kSystem + "\\KPANEL.DLL") && !TemporaryNamesIn(kDest).empty(); },
            kPatience, 1));
        setup.Kill();
    }

    // Runs the uninstall program as "Add/Remove Programs" does (by default the command of the
    // product's uninstall entry) and gives `answer` to its question, which names `products`;
    // `message` gets the text of the box it ends with (none after No). Once it has ended, the
    // uninstall program itself goes, when it `removesItself`.
    static void Uninstall(int answer, std::string& message,
                          const std::string& products = "Kestrel Gamepad",
                          std::string command = "", bool removesItself = true)
    {
        if (command.empty()) {
            command =
                StoredText(ReadStoredValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
            ASSERT_EQ(command, kUninstaller);
        }
        SetupProcess uninstall(command, command.substr(0, command.rfind('\\')));
        HWND question =
            WaitForMessageBox(uninstall.id(), "Remove " + products + " and all of its components?");
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(WindowText(question), products + " Uninstall");
        PressButton(question, answer);
        if (answer == IDYES) {
            HWND done = nullptr;
            ASSERT_TRUE(WaitUntil(
                [&] {
                    done = WaitForWindow(uninstall.id(), "#32770", 0);
                    return done != nullptr && done != question;
                }));
            message = MessageBoxText(done);
            PressButton(done, IDOK);
        }
        ASSERT_TRUE(uninstall.WaitForExit());
        if (answer == IDYES && removesItself) {
            // Its copy deletes it, and last of all leaves itself to the next start.
            EXPECT_TRUE(WaitUntil([&] { return !FileExists(command) && CopyLeftToTheRestart(); }))
                << command;
        }
    }

    // Runs the uninstall entry's command, answers Yes, and stops the uninstall program as a power
    // cut or the task list would, at the first change below `keyPath` after which `stopNow` holds.
    static void UninstallStoppedWhen(HKEY root, const std::string& keyPath,
                                     const std::function<bool()>& stopNow)
    {
        HKEY watched = nullptr;
        ASSERT_EQ(RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_NOTIFY, &watched), ERROR_SUCCESS);
        HANDLE changed = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        const auto watch = [&] {
            return RegNotifyChangeKeyValue(watched, TRUE,
                                           REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_NAME,
                                           changed, TRUE) == ERROR_SUCCESS;
        };
        ASSERT_TRUE(watch());
        SetupProcess uninstall(kUninstaller, kDest);
        HWND question = WaitForMessageBox(uninstall.id(),
                                          "Remove Kestrel Gamepad and all of its components?");
        ASSERT_NE(question, nullptr);
        PressButton(question, IDYES);
        // A notice comes once per watch. When the state does not stop the program yet, the watch
        // is set again (the key still stands then) and the state looked at once more: a change
        // made between the notice and the new watch would give no notice.
        bool stopped = false;
        while (!stopped && WaitForSingleObject(changed, kPatience) == WAIT_OBJECT_0) {
            stopped = stopNow();
            if (!stopped) {
                ASSERT_TRUE(watch());
                stopped = stopNow();
            }
        }
        if (stopped) {
            uninstall.Kill();
        }
        RegCloseKey(watched);
        CloseHandle(changed);
        ASSERT_TRUE(stopped) << "the uninstall never reached the change it is stopped at";
    }

    // Finish with "No": the control panel instead of a restart.
    static void FinishWithoutRestart(SetupProcess& setup, HWND finish)
    {
        SendMessageA(GetDlgItem(finish, IDC_RESTART_LATER), BM_CLICK, 0, 0);
        PressButton(finish, IDC_FINISH);
        ASSERT_TRUE(setup.WaitForExit());
        ExpectControlPanelThenClose();
    }

    // The joystick control panel that the setup opens at its end.
    static void ExpectControlPanelThenClose()
    {
        HWND panel = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] { return (panel = FindWindowA("#32770", "Game Controllers")) != nullptr; }));
        PostMessageA(panel, WM_CLOSE, 0, 0);
    }

    // ---- A set of disks: the sample as setup-medium lays it out on two floppies, each read back
    // into a folder of its own, which the tests put into drive A: in turn or copy to drive C:.

    // Points drive A: at a folder of this machine, as a user changes the disk in the drive.
    void PutInDriveA(const std::string& unixFolder)
    {
        const char* prefix = std::getenv("WINEPREFIX");
        ASSERT_NE(prefix, nullptr);
        ASSERT_EQ(RunHostShell("ln -sfn '" + unixFolder + "' '" + prefix + "/dosdevices/a:'"), 0);
        driveAChanged_ = true;
    }

    void TearDown() override
    {
        // The next test finds the sample medium in drive A: again.
        const char* sample = std::getenv("SETUP_DRIVE_A");
        if (driveAChanged_ && sample != nullptr) {
            PutInDriveA(sample);
        }
    }

    // The set copied to drive C: below `folder`, as DISK1\ and DISK2\ or all in one folder.
    static void CopySet(const std::string& folder, bool oneFolder)
    {
        FreshFolder(folder);
        for (const char* disk : {"1", "2"}) {
            const std::string from = WindowsPathOf(kSetDisks + "/disk" + disk);
            ASSERT_TRUE(CopyFolderFiles(from, oneFolder ? folder : folder + "\\DISK" + disk));
        }
    }

    // SETUP.EXE started from disk 1 in `disk1` and walked to the copy: it hands over to a copy of
    // itself and ends. `copy` follows the copy, which asks for disk 2 (`question`) by its label,
    // the path field showing `disk1`.
    void StartSet(const std::string& disk1, std::unique_ptr<SetupProcess>& copy, HWND& question)
    {
        SetupProcess setup(disk1, SetupExe::OnMedium);
        ASSERT_NO_FATAL_FAILURE(WalkToCopy(setup));
        ASSERT_TRUE(setup.WaitForExit());
        EXPECT_EQ(setup.ExitCode(), 0u);
        const DWORD id = WindowProcess("SETUP_INSTALL");
        ASSERT_NE(id, 0u);
        ASSERT_NE(id, setup.id());
        copy = std::make_unique<SetupProcess>(id);
        question = WaitForWindow(id, "SETUP_DISK");
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(WindowText(question), "Kestrel Gamepad Setup");
        EXPECT_EQ(ControlText(question, IDC_DISK_QUESTION), kInsertDisk2);
        EXPECT_EQ(ControlText(question, IDC_DISK_PATH), disk1);
        EXPECT_EQ(ControlText(question, IDC_DISK_NOT_THERE), "");
    }

    // OK at the question, after `typed` into its path field when given; then the copy goes on to
    // its finish page with the whole sample installed, and Finish with "No".
    static void TakeDisk2(SetupProcess& copy, HWND question, const char* typed = nullptr)
    {
        if (typed != nullptr) {
            SendMessageA(GetDlgItem(question, IDC_DISK_PATH), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(typed));
        }
        PressButton(question, IDOK);
        HWND finish = WaitForWindow(copy.id(), "SETUP_END");
        ASSERT_NE(finish, nullptr);
        ExpectSampleInstalled();
        FinishWithoutRestart(copy, finish);
    }

    // OK at the question while the disk is not in the folder it shows: it stays, and says so.
    static void ExpectNotTaken(HWND question)
    {
        PressButton(question, IDOK);
        EXPECT_TRUE(WaitUntil(
            [&] { return ControlText(question, IDC_DISK_NOT_THERE) == kDiskNotThere; }));
        EXPECT_TRUE(IsWindow(question));
    }

    // Every file of the sample where it belongs, with the content of its original, the script's
    // registry section applied (read while disk 1 was in the drive) and the uninstall entry.
    static void ExpectSampleInstalled()
    {
        for (const auto& file : SampleTargets()) {
            EXPECT_EQ(ReadWholeFile(file.target), ReadWholeFile(kOriginals + "\\" + file.original))
                << file.target;
        }
        ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kestrel\\Kestrel Gamepad",
                                     "Version"),
                     "1.20");
        ExpectUninstallEntry();
    }

    // The copy in the temporary folder that the setup ran from, or empty when there is none.
    static std::string SetupCopy()
    {
        char temporary[MAX_PATH] = {};
        GetTempPathA(sizeof temporary, temporary);
        const std::set<std::string> names = FileNamesIn(temporary);
        const auto copy = std::find_if(names.begin(), names.end(), [](const std::string& name) {
            return name.rfind("SETUP", 0) == 0 && name.size() == 12;
        });
        return copy != names.end() ? temporary + *copy : std::string();
    }

    // The uninstall takes back everything and the next start of Windows what it left: nothing of
    // the setup's stays, the setup's copy included, and other programs' things are as before.
    static void ExpectCleanUninstall(const std::string& othersBefore)
    {
        std::string message;
        ASSERT_NO_FATAL_FAILURE(Uninstall(IDYES, message));
        EXPECT_EQ(message, kRemoved);
        RestartWindows();
        EXPECT_FALSE(FileExists(kDest));
        for (const auto& file : SampleTargets()) {
            EXPECT_FALSE(FileExists(file.target)) << file.target;
        }
        EXPECT_EQ(SetupCopy(), "");
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kestrel"));
        EXPECT_EQ(OthersThings(), othersBefore);
    }

    bool driveAChanged_ = false;
};
