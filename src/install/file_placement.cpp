#include "install/file_placement.h"

#include "controller/bounded_text.h"
#include "install/restart_rename.h"

namespace {

constexpr char kTemporaryPrefix[] = "STP";
constexpr char kRestartScriptName[] = "\\WININIT.INI";
constexpr char kDeleteKey[] = "NUL";

bool Exists(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES;
}

// A name of the file system's own for an existing file: its short (8.3) path.
bool ShortPathOf(const char* path, char (&shortPath)[MAX_PATH])
{
    const DWORD length = GetShortPathNameA(path, shortPath, sizeof shortPath);
    return length != 0 && length < sizeof shortPath;
}

// A whole file in a block of global memory; an empty block for a file that does not exist. Null
// when it cannot be read.
HGLOBAL ReadFileBlock(const char* path, DWORD& length)
{
    constexpr DWORD kLargestFile = 0x1000000;
    length = 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return Exists(GetFileAttributesA(path)) ? nullptr : GlobalAlloc(GMEM_FIXED, 1);
    }
    const DWORD size = GetFileSize(file, nullptr);
    HGLOBAL block = size < kLargestFile ? GlobalAlloc(GMEM_FIXED, size + 1) : nullptr;
    DWORD read = 0;
    if (block != nullptr &&
        (!ReadFile(file, static_cast<char*>(block), size, &read, nullptr) || read != size)) {
        GlobalFree(block);
        block = nullptr;
    }
    CloseHandle(file);
    length = read;
    return block;
}

// Writes `length` bytes as the whole new content of `path`, through a temporary file beside it.
bool RewriteFile(const char* path, const char* bytes, DWORD length)
{
    char temporary[MAX_PATH];
    if (!CreateTemporaryBeside(path, temporary)) {
        return false;
    }
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool complete = file != INVALID_HANDLE_VALUE &&
                          WriteFile(file, bytes, length, &written, nullptr) && written == length;
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    if (!complete) {
        DeleteFileA(temporary);
        return false;
    }
    return PutInPlace(temporary, path, nullptr) == Placement::Placed;
}

// Adds one line "LEFT=RIGHT" to the [rename] section of WININIT.INI.
bool AddRestartLine(const char* windowsDir, const char* left, const char* right)
{
    char entry[2 * MAX_PATH + 2];
    char path[MAX_PATH];
    if (!BuildRenameEntry(left, right, entry, sizeof entry) || !CopyText(path, windowsDir) ||
        !AppendText(path, kRestartScriptName)) {
        return false;
    }
    const DWORD extra = static_cast<DWORD>(TextLength(entry) + kRenameEntryOverhead);
    DWORD length = 0;
    HGLOBAL old = ReadFileBlock(path, length);
    if (old == nullptr) {
        return false;
    }
    const DWORD capacity = length + extra;
    HGLOBAL updated = GlobalAlloc(GMEM_FIXED, capacity);
    bool written = false;
    if (updated != nullptr) {
        char* text = static_cast<char*>(updated);
        const std::size_t newLength =
            AddRenameEntry(static_cast<const char*>(old), length, entry, text, capacity);
        written = newLength != 0 && RewriteFile(path, text, static_cast<DWORD>(newLength));
        GlobalFree(updated);
    }
    GlobalFree(old);
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
        if (windowsDir != nullptr && ReplaceAtRestart(windowsDir, target, temporary)) {
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
    if (!DeleteFileA(aside) && windowsDir != nullptr) {
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
