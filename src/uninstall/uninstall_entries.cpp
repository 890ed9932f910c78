#include "uninstall/uninstall_entries.h"

#include <windows.h>

#include "files/file_system.h"
#include "record/install_record.h"
#include "registry/uninstall_entry.h"

namespace {

// The command of an uninstall entry names this program.
bool EntryNames(HKEY entry, const char* ownPath)
{
    char command[MAX_PATH] = "";
    DWORD size = sizeof command - 1;
    DWORD type = 0;
    return RegQueryValueExA(entry, kUninstallCommandValue, nullptr, &type,
                            reinterpret_cast<BYTE*>(command), &size) == ERROR_SUCCESS &&
           type == REG_SZ && SamePath(ProgramOfUninstallCommand(command), ownPath);
}

// Deletes the entry `name` of the list when it names this program and has no subkeys.
bool RemoveEntryIfOurs(HKEY list, const char* name, const char* ownPath)
{
    HKEY entry = nullptr;
    if (RegOpenKeyExA(list, name, 0, KEY_READ, &entry) != ERROR_SUCCESS) {
        return false;
    }
    DWORD subkeys = 1;
    const bool ours = EntryNames(entry, ownPath) &&
                      RegQueryInfoKeyA(entry, nullptr, nullptr, nullptr, &subkeys, nullptr,
                                       nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr) == ERROR_SUCCESS &&
                      subkeys == 0;
    RegCloseKey(entry);
    return ours && RegDeleteKeyA(list, name) == ERROR_SUCCESS;
}

} // namespace

void RemoveEntriesNaming(const char* ownPath)
{
    HKEY list = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKeyPrefix, 0, KEY_ALL_ACCESS, &list) !=
        ERROR_SUCCESS) {
        return;
    }
    for (DWORD index = 0;;) {
        char name[kMostRecordPath];
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(list, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        // A deleted entry's place in the list goes to the next one.
        if (!RemoveEntryIfOurs(list, name, ownPath)) {
            ++index;
        }
    }
    RegCloseKey(list);
}
