#include "install/file_placement.h"

#include "base/bounded_text.h"
#include "install/file_operations.h"
#include "install/file_system.h"
#include "install/record_writer.h"
#include "record/install_record.h"
#include "script/install_locations.h"

namespace {

constexpr char kTemporaryPrefix[] = "STP";
constexpr char kRestartScriptName[] = "\\WININIT.INI";
constexpr char kRenameSection[] = "rename";
constexpr DWORD kRenameSectionSize = 0x8000;
constexpr char kDeleteKey[] = "NUL";

// A name of the file system's own for an existing file: its short (8.3) path, with single
// backslashes, as the start of Windows reads it before long names exist.
bool ShortPathOf(const char* path, char (&shortPath)[MAX_PATH])
{
    char longPath[MAX_PATH];
    if (!CopyText(longPath, path)) {
        return false;
    }
    CollapseBackslashes(longPath);
    const DWORD length = GetShortPathNameA(longPath, shortPath, sizeof shortPath);
    return length != 0 && length < sizeof shortPath;
}

// True when the file name at the end of `path` is a short (8.3) one. The start of Windows 95 and 98
// carries out WININIT.INI before long names exist: a file it puts in place under a long name comes
// back under that name's alias (KESTRELPAD.DLL as KESTRE~1.DLL).
bool HasShortFileName(const char* path)
{
    const char* name = path;
    for (const char* c = path; *c != '\0'; ++c) {
        if (*c == '\\') {
            name = c + 1;
        }
    }
    return IsShortFileName(name);
}

// A temporary name in the folder of `target` that no file has yet.
bool PickTemporaryName(const char* target, char (&temporary)[MAX_PATH])
{
    // The folder keeps its last backslash, so that "C:\FILE" gives the root "C:\".
    char folder[MAX_PATH];
    if (!CopyText(folder, target)) {
        return false;
    }
    std::size_t cut = 0;
    for (std::size_t i = 0; folder[i] != '\0'; ++i) {
        if (folder[i] == '\\') {
            cut = i + 1;
        }
    }
    if (cut == 0) {
        return false;
    }
    folder[cut] = '\0';
    // Given a number, the system only forms the name; which numbers are free is found here.
    UINT number = GetTickCount() & 0xFFFF;
    for (int tries = 0; tries < 0x10000; ++tries, number = (number + 1) & 0xFFFF) {
        if (number != 0 && GetTempFileNameA(folder, kTemporaryPrefix, number, temporary) != 0 &&
            !FileExists(temporary)) {
            return true;
        }
    }
    return false;
}

// Rewrites the [rename] section of WININIT.INI: every line "DROP" (ASCII case ignored) goes, and
// "ADD" follows the section's own lines. The section is read whole and written back, so that
// lines of one name ("NUL") all stay, and the file's other sections are left as they are.
bool RestartScriptPath(const char* windowsDir, char (&path)[MAX_PATH])
{
    return CopyText(path, windowsDir) && AppendText(path, kRestartScriptName);
}

bool EditRestartSection(const char* windowsDir, const char* drop, const char* add)
{
    char path[MAX_PATH];
    if (!RestartScriptPath(windowsDir, path)) {
        return false;
    }
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, kRenameSectionSize);
    if (block == nullptr) {
        return false;
    }
    // The section as lines "KEY=VALUE", each ended by a NUL, and one more NUL after the last.
    char* lines = static_cast<char*>(block);
    const DWORD length =
        GetPrivateProfileSectionA(kRenameSection, lines, kRenameSectionSize, path);
    std::size_t kept = 0;
    for (std::size_t at = 0; at < length && lines[at] != '\0';) {
        const std::size_t lineLength = TextLength(lines + at);
        if (drop == nullptr || !EqualsIgnoreCase(lines + at, drop)) {
            for (std::size_t i = 0; i <= lineLength; ++i) {
                lines[kept++] = lines[at + i];
            }
        }
        at += lineLength + 1;
    }
    bool written = false;
    // A section that filled the buffer was cut: writing it back would lose lines.
    if (length < kRenameSectionSize - 2 &&
        (add == nullptr || CopyText(lines + kept, kRenameSectionSize - kept - 1, add))) {
        if (add != nullptr) {
            kept += TextLength(add) + 1;
        }
        lines[kept] = '\0';
        written = kept == length;
        if (!written) {
            written = WritePrivateProfileSectionA(kRenameSection, lines, path) != FALSE;
            // Windows 95 and 98 keep a profile file in a cache: this writes it out.
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, path);
        }
    }
    GlobalFree(block);
    return written;
}

// "LEFT=RIGHT" with both as short names; LEFT is "NUL" when `target` is null.
bool RestartLine(const char* target, const char* path, char (&line)[2 * MAX_PATH])
{
    char shortTarget[MAX_PATH];
    char shortPath[MAX_PATH];
    const bool left =
        target == nullptr ? CopyText(shortTarget, kDeleteKey) : ShortPathOf(target, shortTarget);
    return left &&
           ShortPathOf(path, shortPath) && CopyText(line, shortTarget) && AppendText(line, "=") &&
           AppendText(line, shortPath);
}

} // namespace

bool CreateTemporaryBeside(const char* target, char (&temporary)[MAX_PATH])
{
    if (!PickTemporaryName(target, temporary) || !RecordChange(kRecordTemporary, temporary)) {
        return false;
    }
    const HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

Placement PutInPlace(const char* temporary, const char* target, const char* windowsDir)
{
    const DWORD attributes = GetFileAttributesA(target);
    Placement placement = Placement::Failed;
    char aside[MAX_PATH];
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (RenameFile(temporary, target)) {
            placement = Placement::Placed;
        }
    } else if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        // Left alone.
    } else if (!PickTemporaryName(target, aside) ||
               !RecordChange(kRecordAside, aside, target)) {
        // The old file could not step aside under a name the record knows.
    } else if (!RenameFile(target, aside)) {
        // Not read-only, yet it cannot be moved: some program has it open. Only a short name comes
        // back as itself from the next start; a file of a long name keeps its old version.
        if (HasShortFileName(target) && RecordChange(kRecordPending, target, temporary) &&
            ReplaceAtRestart(windowsDir, target, temporary)) {
            return Placement::AtRestart;
        }
    } else if (!RenameFile(temporary, target)) {
        // The old file goes back, so that a failed move never loses it.
        RenameFile(aside, target);
    } else {
        if (!DeleteFileA(aside)) {
            DeleteAtRestart(windowsDir, aside);
        }
        placement = Placement::Placed;
    }
    if (placement == Placement::Placed) {
        CancelAtRestart(windowsDir, nullptr, target);
    } else {
        DeleteFileA(temporary);
    }
    return placement;
}

bool ReplaceAtRestart(const char* windowsDir, const char* target, const char* replacement)
{
    char line[2 * MAX_PATH];
    return RestartLine(target, replacement, line) && EditRestartSection(windowsDir, nullptr, line);
}

bool DeleteAtRestart(const char* windowsDir, const char* path)
{
    char line[2 * MAX_PATH];
    return RestartLine(nullptr, path, line) && EditRestartSection(windowsDir, nullptr, line);
}

bool CancelAtRestart(const char* windowsDir, const char* target, const char* path)
{
    // Without WININIT.INI (nearly always: the start of Windows renames it once it has carried it
    // out), or without both files and so their short names, there is no line of ours to take
    // back.
    char script[MAX_PATH];
    char line[2 * MAX_PATH];
    return !RestartScriptPath(windowsDir, script) || !FileExists(script) ||
           !RestartLine(target, path, line) || EditRestartSection(windowsDir, line, nullptr);
}
