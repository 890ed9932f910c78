#include "uninstall/cleanup.h"

#include <windows.h>

#include "base/bounded_text.h"
#include "files/file_system.h"
#include "files/restart_script.h"

namespace {

// The copy's command line: its own name, then "|PROCESS|PROGRAM|FOLDER". No file name holds "|".
constexpr char kSeparator = '|';
constexpr char kCopyPrefix[] = "UNI";
constexpr char kProgramExtension[] = ".EXE";

// The decimal digits of `number`, at the end of `digits`.
const char* DecimalDigits(char (&digits)[12], DWORD number)
{
    std::size_t n = sizeof digits - 1;
    digits[n] = '\0';
    do {
        digits[--n] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    return digits + n;
}

} // namespace

bool RemoveAfterExit(const char* program, const char* folder)
{
    char windowsDir[MAX_PATH];
    GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    // A unique name in the temporary folder, with the extension that every system starts.
    char temporaryDir[MAX_PATH];
    char reserved[MAX_PATH];
    char copy[MAX_PATH];
    const DWORD length = GetTempPathA(sizeof temporaryDir, temporaryDir);
    bool started = length != 0 && length < sizeof temporaryDir &&
                   GetTempFileNameA(temporaryDir, kCopyPrefix, 0, reserved) != 0;
    if (started) {
        const std::size_t cut = TextLength(reserved) - (sizeof kProgramExtension - 1);
        started = CopyText(copy, reserved) && cut > 0 && copy[cut] == '.';
        copy[cut] = '\0';
        started = started && AppendText(copy, kProgramExtension) && CopyFileA(program, copy, TRUE);
        DeleteFileA(reserved);
    }
    if (started) {
        char command[4 * MAX_PATH];
        char digits[12];
        const char separator[] = {kSeparator, '\0'};
        started = JoinTexts(command, {"\"", copy, "\" ", separator,
                                      DecimalDigits(digits, GetCurrentProcessId()), separator,
                                      program, separator, folder});
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        started = started && CreateProcessA(copy, command, nullptr, nullptr, FALSE, 0, nullptr,
                                            temporaryDir, &startup, &process);
        if (started) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        } else {
            DeleteFileA(copy);
        }
    }
    if (!started) {
        DeleteAtRestart(windowsDir, program);
    }
    return started;
}

bool FinishCleanup(const char* ownPath)
{
    const char* from = GetCommandLineA();
    while (*from != '\0' && *from != kSeparator) {
        ++from;
    }
    if (*from == '\0') {
        return false;
    }
    char process[MAX_PATH];
    char program[MAX_PATH];
    char folder[MAX_PATH];
    from = CopyPart(process, from + 1, kSeparator);
    from = CopyPart(program, from, kSeparator);
    CopyPart(folder, from, kSeparator);
    DWORD id = 0;
    for (const char* digit = process; *digit >= '0' && *digit <= '9'; ++digit) {
        id = id * 10 + static_cast<DWORD>(*digit - '0');
    }
    // The uninstall program ends first; then nothing holds it any more.
    const HANDLE uninstall = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (uninstall != nullptr) {
        WaitForSingleObject(uninstall, INFINITE);
        CloseHandle(uninstall);
    }
    char windowsDir[MAX_PATH];
    GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    for (int tries = 0; tries < 50 && !DeleteFileA(program); ++tries) {
        Sleep(100);
    }
    if (FileExists(program)) {
        DeleteAtRestart(windowsDir, program);
    } else if (folder[0] != '\0') {
        RemoveDirectoryA(folder);
    }
    DeleteAtRestart(windowsDir, ownPath);
    return true;
}
