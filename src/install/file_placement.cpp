#include "install/file_placement.h"

#include "base/bounded_text.h"
#include "install/copy_progress.h"

namespace {

constexpr char kTemporaryPrefix[] = "STP";
constexpr char kRestartScriptName[] = "\\WININIT.INI";
constexpr char kRenameSection[] = "rename";
constexpr DWORD kRenameSectionSize = 0x8000;
constexpr char kDeleteKey[] = "NUL";

bool Exists(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES;
}

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

// Adds one line "LEFT=RIGHT" to the [rename] section of WININIT.INI. The section is read whole
// and written back with the new line after its own, so that lines of one name ("NUL") all stay,
// and the file's other sections are left as they are.
bool AddRestartLine(const char* windowsDir, const char* left, const char* right)
{
    char path[MAX_PATH];
    if (!CopyText(path, windowsDir) || !AppendText(path, kRestartScriptName)) {
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
    char* entry = lines + length;
    const std::size_t room = kRenameSectionSize - length - 1;
    bool written = false;
    // A section that filled the buffer was cut: writing it back would lose lines.
    if (length < kRenameSectionSize - 2 && CopyText(entry, room, left) &&
        AppendText(entry, room, "=") && AppendText(entry, room, right)) {
        entry[TextLength(entry) + 1] = '\0';
        written = WritePrivateProfileSectionA(kRenameSection, lines, path) != FALSE;
        // Windows 95 and 98 keep a profile file in a cache: this writes it out.
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, path);
    }
    GlobalFree(block);
    return written;
}

} // namespace

bool CreateTemporaryBeside(const char* target, char (&temporary)[MAX_PATH])
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
    return GetTempFileNameA(folder, kTemporaryPrefix, 0, temporary) != 0;
}

Placement PutInPlace(const char* temporary, const char* target, const char* windowsDir)
{
    const DWORD attributes = GetFileAttributesA(target);
    if (!Exists(attributes)) {
        if (MoveFileA(temporary, target)) {
            return Placement::Placed;
        }
        DeleteFileA(temporary);
        return Placement::Failed;
    }
    if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        DeleteFileA(temporary);
        return Placement::Failed;
    }

    // The old file steps aside under a name of its own, so that it can come back should the new
    // one fail to take its place.
    char aside[MAX_PATH];
    if (!CreateTemporaryBeside(target, aside)) {
        DeleteFileA(temporary);
        return Placement::Failed;
    }
    DeleteFileA(aside);
    if (!MoveFileA(target, aside)) {
        // Not read-only, yet it cannot be moved: some program has it open.
        if (ReplaceAtRestart(windowsDir, target, temporary)) {
            return Placement::AtRestart;
        }
        DeleteFileA(temporary);
        return Placement::Failed;
    }
    if (!MoveFileA(temporary, target)) {
        MoveFileA(aside, target);
        DeleteFileA(temporary);
        return Placement::Failed;
    }
    if (!DeleteFileA(aside)) {
        DeleteAtRestart(windowsDir, aside);
    }
    return Placement::Placed;
}

bool ReplaceAtRestart(const char* windowsDir, const char* target, const char* replacement)
{
    char shortTarget[MAX_PATH];
    char shortReplacement[MAX_PATH];
    return ShortPathOf(target, shortTarget) && ShortPathOf(replacement, shortReplacement) &&
           AddRestartLine(windowsDir, shortTarget, shortReplacement);
}

bool DeleteAtRestart(const char* windowsDir, const char* path)
{
    char shortPath[MAX_PATH];
    return ShortPathOf(path, shortPath) && AddRestartLine(windowsDir, kDeleteKey, shortPath);
}
