#include "files/leftovers.h"

#include <windows.h>

#include "files/file_operations.h"
#include "files/file_system.h"
#include "record/install_record.h"

void RemoveLeftovers(const char* text, std::size_t size)
{
    std::size_t position = 0;
    RecordLine line;
    while (ReadRecordLine(text, size, position, line)) {
        char path[MAX_PATH];
        if ((line.kind != kRecordTemporary && line.kind != kRecordAside) ||
            !DecodeRecordText(line.fields[0], path, sizeof path) || !FileExists(path)) {
            continue;
        }
        char target[MAX_PATH];
        if (line.kind == kRecordAside && DecodeRecordText(line.fields[1], target, sizeof target) &&
            !FileExists(target)) {
            RenameFile(path, target);
        } else if (line.kind == kRecordAside ||
                   !RecordHoldsText(text, size, kRecordPending, 1, path)) {
            DeleteFileA(path);
        }
    }
}
