#include "install/file_placement.h"

#include "base/bounded_text.h"
#include "files/file_operations.h"
#include "files/file_system.h"
#include "files/restart_script.h"
#include "install/record_writer.h"
#include "record/install_record.h"
#include "script/install_locations.h"

namespace {

constexpr char kTemporaryPrefix[] = "STP";

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
