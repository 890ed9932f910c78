#include "install/leftovers.h"

#include <windows.h>

#include "install/file_operations.h"
#include "record/install_record.h"

namespace {

bool Exists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The record's temporary file `path` waits to replace a target at the next start.
bool IsPendingReplacement(const char* text, std::size_t size, const RecordField& path)
{
    std::size_t position = 0;
    RecordLine line;
    while (ReadRecordLine(text, size, position, line)) {
        if (line.kind == kRecordPending && SameRecordField(line.fields[1], path)) {
            return true;
        }
    }
    return false;
}

} // namespace

void RemoveLeftovers(const char* text, std::size_t size)
{
    std::size_t position = 0;
    RecordLine line;
    while (ReadRecordLine(text, size, position, line)) {
        char path[MAX_PATH];
        if ((line.kind != kRecordTemporary && line.kind != kRecordAside) ||
            !DecodeRecordText(line.fields[0], path, sizeof path) || !Exists(path)) {
            continue;
        }
        char target[MAX_PATH];
        if (line.kind == kRecordAside && DecodeRecordText(line.fields[1], target, sizeof target) &&
            !Exists(target)) {
            RenameFile(path, target);
        } else if (line.kind == kRecordAside ||
                   !IsPendingReplacement(text, size, line.fields[0])) {
            DeleteFileA(path);
        }
    }
}
