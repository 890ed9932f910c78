// The whole setup as a user runs it, from the sample medium to the restart or the control panel.
// The sample medium is drive A:, which holds what was read back from the medium's floppy image.
#include "base/resource_ids.h"
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

namespace {

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
        {"UNINSTAL.EXE", kDest + "\\" + kUninstallerName},
    };
}

void ExpectUninstallEntry()
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
bool EditFile(const std::string& path, const std::string& from, const std::string& to)
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
HANDLE HoldOpen(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

std::set<std::string> NewNames(const std::set<std::string>& before,
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
std::set<std::string> TemporaryNamesIn(const std::string& folder)
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
std::vector<std::string> RenameLines()
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
bool IsTheCopysLine(const std::string& line)
{
    char temporary[MAX_PATH] = {};
    GetTempPathA(sizeof temporary, temporary);
    std::string copies = "NUL=" + std::string(temporary) + "UNI";
    CharUpperA(copies.data());
    return line.rfind(copies, 0) == 0;
}

// The [rename] lines but the copy's.
std::vector<std::string> RestartLines()
{
    std::vector<std::string> lines = RenameLines();
    lines.erase(std::remove_if(lines.begin(), lines.end(), IsTheCopysLine), lines.end());
    return lines;
}

// The copy has left itself to the next start: the last thing it does.
bool CopyLeftToTheRestart()
{
    const std::vector<std::string> lines = RenameLines();
    return std::any_of(lines.begin(), lines.end(), IsTheCopysLine);
}

void SetValue(HKEY root, const std::string& keyPath, const char* name, DWORD type,
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

DWORD UseCount(const std::string& path)
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

std::string OthersThings()
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
void RestartWindows()
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION boot{};
    std::string command = "wineboot.exe -r";
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &boot));
    EXPECT_EQ(WaitForSingleObject(boot.hProcess, 60000), WAIT_OBJECT_0);
    CloseHandle(boot.hProcess);
    CloseHandle(boot.hThread);
}

// Alt+F4 as the keyboard gives it to a window.
void PressAltF4(HWND window)
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
    bool Noted(const char* word, DWORD milliseconds = 10000) const
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
        finish = WaitForWindow(setup.id(), "SETUP_END", 60000);
        ASSERT_NE(finish, nullptr);
    }

    // The failure report names `names`; then the notice, and the setup ends without its finish
    // page.
    static void ExpectReportThenEnd(SetupProcess& setup, const std::string& names)
    {
        HWND report = WaitForMessageBox(setup.id(), kNotCopied + names, 60000);
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
        HWND finish = WaitForWindow(setup.id(), "SETUP_END", 60000);
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
            30000, 1));
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
                },
                20000));
            message = MessageBoxText(done);
            PressButton(done, IDOK);
        }
        ASSERT_TRUE(uninstall.WaitForExit());
        if (answer == IDYES && removesItself) {
            // Its copy deletes it, and last of all leaves itself to the next start.
            EXPECT_TRUE(WaitUntil([&] { return !FileExists(command) && CopyLeftToTheRestart(); },
                                  20000))
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
        bool stopped = false;
        while (!stopped && WaitForSingleObject(changed, 30000) == WAIT_OBJECT_0) {
            stopped = stopNow();
            if (stopped) {
                uninstall.Kill();
            }
            ASSERT_TRUE(watch());
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
        ASSERT_TRUE(setup.WaitForExit(20000));
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
        ASSERT_TRUE(setup.WaitForExit(30000));
        EXPECT_EQ(setup.ExitCode(), 0u);
        const DWORD id = WindowProcess("SETUP_INSTALL");
        ASSERT_NE(id, 0u);
        ASSERT_NE(id, setup.id());
        copy = std::make_unique<SetupProcess>(id);
        question = WaitForWindow(id, "SETUP_DISK", 60000);
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
        HWND finish = WaitForWindow(copy.id(), "SETUP_END", 60000);
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
    setup.WaitForExit(10000);
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
    ASSERT_TRUE(setup.WaitForExit(20000));
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
            WaitUntil([&] { return ControlText(page, IDC_COPY_PERCENT) != "0%"; }, 10000, 5));
        cancel(page);

        HWND notice = WaitForMessageBox(setup.id(), kNotCompleted, 60000);
        ASSERT_NE(notice, nullptr);
        // The notice waits for the user: its loop runs, and comes back for a second round, with
        // the page's quit message held back (it would end the box at once).
        DWORD_PTR ignored;
        for (int round = 0; round < 2; ++round) {
            EXPECT_NE(SendMessageTimeoutA(notice, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored), 0);
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
    ASSERT_FALSE(v1.empty() || v2.empty());
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
                                 (row.kept ? "k\r\n" : "\r\n");
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

TEST_F(Install, UninstallRemovesWhatTheSetupInstalledAndLeavesTheRest)
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

TEST_F(Install, AnotherProgramsFileAndSettingsAreLeftOrGivenBack)
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

TEST_F(Install, UpgradeAndRenameThenOneUninstallTakesBackBothVersions)
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

TEST_F(Install, AReplacementWaitingForTheRestartIsCalledOffByTheUninstall)
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

TEST_F(Install, ASetupStoppedMidCopyLeavesARecordThatUninstallsWhatItPlaced)
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

TEST_F(Install, AReinstallBeforeTheRestartKeepsTheFilesTheUninstallLeftToIt)
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

TEST_F(Install, AnInstallIntoAnotherFolderTakesOverTheEarlierRecord)
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
    HWND finish = WaitForWindow(setup.id(), "SETUP_END", 60000);
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
                 longest + "\\" + kUninstallerName);
    std::string message;
    ASSERT_NO_FATAL_FAILURE(
        Uninstall(IDYES, message, "Kestrel Gamepad", longest + "\\" + kUninstallerName));
    EXPECT_FALSE(FileExists(longest));
}

TEST_F(Install, WhatCannotBeTakenBackIsNamedAndLeftToASecondRun)
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

TEST_F(Install, UninstallRemovesNothingWithoutItsRecordOrFromAnotherFolderOrWhenTheAnswerIsNo)
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

TEST_F(Install, AnUninstallStoppedAnywhereAndRunAgainEndsAsOneRunWould)
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
    for (const auto& row : table) {
        SCOPED_TRACE(row.when);
        SetUp();
        ASSERT_TRUE(WriteWholeFile(panel, "the other program's KPANEL.DLL"));
        SetValue(HKEY_LOCAL_MACHINE, kSharedCounts, panel.c_str(), REG_DWORD,
                 std::string("\1\0\0\0", 4));
        ASSERT_NO_FATAL_FAILURE(InstallSample());
        ASSERT_EQ(UseCount(panel), 2u);
        ASSERT_NO_FATAL_FAILURE(UninstallStoppedWhen(row.root, row.keyPath, row.stopNow));
        EXPECT_TRUE(FileExists(kRecord));
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

TEST_F(Install, ADamagedRecordTakesBackWhatItStillNamesAndSaysSo)
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
    EXPECT_EQ(message, "UNINSTAL.DAT was damaged: what it still named of Kestrel Gamepad is "
                       "removed, but some changes of Setup may remain.");
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

TEST_F(Install, ASharedFileGoesWhenItsLastUseGoesWhoeverHadItFirst)
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

TEST_F(Install, TheProductsFoldersGoWhenEmptyAndAChangedFileStaysNamed)
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
                           "\n\nYou have changed these files; they stay:\n\n" + kDest +
                           "\\README.TXT");
    EXPECT_EQ(ReadWholeFile(kDest + "\\README.TXT"), "my own notes on the gamepad");
    EXPECT_EQ(FileNamesIn(kDest), std::set<std::string>{"README.TXT"});
    EXPECT_FALSE(FileExists(kDest + "\\UTILS"));
}

TEST_F(Install, AFolderThatEmptiesOnlyAtTheRestartIsNamed)
{
    ASSERT_NO_FATAL_FAILURE(InstallSample());
    HANDLE held = HoldOpen(kDest + "\\UTILS\\CALIB\\KCAL.EXE");
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::string message;
    ASSERT_NO_FATAL_FAILURE(Uninstall(IDYES, message));
    CloseHandle(held);
    EXPECT_EQ(message, std::string(kRemoved) + kRestartNeeded + "\n\nDelete the folder " +
                           kDest + " after the restart.");
    RestartWindows();
    EXPECT_FALSE(FileExists(kDest + "\\UTILS\\CALIB\\KCAL.EXE"));
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
    HWND notice = WaitForMessageBox(copy->id(), kNotCompleted, 60000);
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
        },
        60000));
    EXPECT_EQ(ControlText(again, IDC_DISK_QUESTION), kInsertDisk2);
    EXPECT_EQ(ControlText(again, IDC_DISK_PATH), "C:\\KSET\\DISK2");
    PressButton(again, IDCANCEL);
    ExpectReportThenEnd(*copy, "BUTTONS.TXT");
    EXPECT_TRUE(FileExists(kDest + "\\DOCS\\KESTREL.HLP"));
    EXPECT_FALSE(FileExists(kDest + "\\DOCS\\BUTTONS.TXT"));
}

} // namespace
