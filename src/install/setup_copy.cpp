#include "install/setup_copy.h"

#include <windows.h>

#include "base/bounded_text.h"
#include "base/setup_state.h"
#include "files/file_system.h"
#include "files/restart_script.h"
#include "install/record_writer.h"
#include "install/source_disks.h"
#include "record/install_record.h"

namespace {

// The copy's command line: its own name, then "|SOURCE|DESTINATION". No file name holds "|".
constexpr char kSeparator = '|';
constexpr char kCommandForm[] = "\"%s\" |%s|%s";
// The copy's name in the temporary folder (whose name ends with a backslash), by a number.
constexpr char kCopyNameForm[] = "%sSETUP%03X.EXE";
constexpr UINT kCopyNumbers = 0x1000;
constexpr DWORD kCopyNameRoom = 13;
// How long this process waits for the copy to be ready for the user before it ends anyway.
constexpr DWORD kCopyReadyTime = 60000;

bool g_runsFromCopy = false;

// A name in the temporary folder (`folder`) that no file has.
bool PickCopyName(char (&folder)[MAX_PATH], char (&copy)[MAX_PATH])
{
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length + kCopyNameRoom > sizeof folder) {
        return false;
    }
    UINT number = GetTickCount();
    for (UINT tries = 0; tries < kCopyNumbers; ++tries, ++number) {
        wsprintfA(copy, kCopyNameForm, folder, number % kCopyNumbers);
        if (!FileExists(copy)) {
            return true;
        }
    }
    return false;
}

// Starts the copy in `folder` with this setup's folders on its command line, and waits until it
// is ready for the user: until then this process's windows stay.
bool LaunchCopy(const char* copy, const char* folder)
{
    // wsprintfA writes at most 1024 characters and its terminator.
    char command[1025];
    wsprintfA(command, kCommandForm, copy, g_setup.sourceDir, g_setup.destDir);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(copy, command, nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                        &process)) {
        return false;
    }
    WaitForInputIdle(process.hProcess, kCopyReadyTime);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

} // namespace

bool ReadHandOver(char (&sourceDir)[kPathSize], char (&destDir)[kPathSize])
{
    const char* folders = CopyPart(nullptr, 0, GetCommandLineA(), kSeparator);
    g_runsFromCopy = *folders != '\0';
    if (g_runsFromCopy) {
        CopyPart(destDir, CopyPart(sourceDir, folders, kSeparator), kSeparator);
    }
    return g_runsFromCopy;
}

bool RunsFromCopy()
{
    return g_runsFromCopy;
}

bool HandOverToCopy()
{
    char self[MAX_PATH];
    char folder[MAX_PATH];
    char copy[MAX_PATH];
    if (!SetAsksForDisks() || GetModuleFileNameA(g_setup.instance, self, sizeof self) == 0 ||
        !PickCopyName(folder, copy)) {
        return false;
    }
    // The record names the copy before it exists.
    const bool named = StartInstallRecord() && RecordChange(kRecordTemporary, copy);
    EndInstallRecord();
    if (!named || !CopyFileA(self, copy, TRUE)) {
        return false;
    }
    if (LaunchCopy(copy, folder)) {
        return true;
    }
    DeleteFileA(copy);
    return false;
}

void LeaveCopyToRestart()
{
    char self[MAX_PATH];
    if (g_runsFromCopy && GetModuleFileNameA(g_setup.instance, self, sizeof self) != 0) {
        DeleteAtRestart(g_setup.windowsDir, self);
    }
}
