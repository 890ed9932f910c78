#include "files/restart_script.h"

#include "base/bounded_text.h"
#include "files/file_system.h"
#include "script/install_locations.h"

namespace {

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

// WININIT.INI in `windowsDir`.
bool RestartScriptPath(const char* windowsDir, char (&path)[MAX_PATH])
{
    return CopyText(path, windowsDir) && AppendText(path, kRestartScriptName);
}

// Rewrites the [rename] section of WININIT.INI: every line "DROP" (ASCII case ignored) goes, and
// "ADD" follows the section's own lines. The section is read whole and written back, so that
// lines of one name ("NUL") all stay, and the file's other sections are left as they are.
bool EditRestartSection(const char* windowsDir, const char* drop, const char* add)
{
    char path[MAX_PATH];
    if (!RestartScriptPath(windowsDir, path)) {
        return false;
    }
    void* block = HeapAlloc(GetProcessHeap(), 0, kRenameSectionSize);
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
    HeapFree(GetProcessHeap(), 0, block);
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
