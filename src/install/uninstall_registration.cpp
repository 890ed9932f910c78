#include "install/uninstall_registration.h"

#include "base/bounded_text.h"
#include "base/setup_state.h"
#include "files/file_system.h"
#include "install/registry_write.h"
#include "registry/uninstall_entry.h"
#include "script/script_rules.h"

void WriteUninstallEntry()
{
    char keyPath[kUninstallTextSize];
    char command[kUninstallTextSize];
    if (!BuildUninstallKeyPath(g_setup.productName, keyPath) ||
        !BuildUninstallCommand(g_setup.destDir, command)) {
        return;
    }
    const HKEY key = CreateRecordedKey(HKEY_LOCAL_MACHINE, keyPath);
    if (key == nullptr) {
        return;
    }
    RegistryValue values[kUninstallValueCount];
    MakeUninstallValues(g_setup.productName, command, values);
    for (const RegistryValue& value : values) {
        SetRecordedValue(HKEY_LOCAL_MACHINE, keyPath, key, value);
    }
    RegCloseKey(key);
}

bool EarlierInstallFolder(char (&folder)[MAX_PATH])
{
    char keyPath[kUninstallTextSize];
    HKEY key = nullptr;
    if (!BuildUninstallKeyPath(g_setup.productName, keyPath) ||
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    char command[MAX_PATH];
    DWORD size = sizeof command - 1;
    DWORD type = 0;
    const bool read = RegQueryValueExA(key, kUninstallCommandValue, nullptr, &type,
                                       reinterpret_cast<BYTE*>(command), &size) == ERROR_SUCCESS &&
                      type == REG_SZ;
    RegCloseKey(key);
    command[read ? size : 0] = '\0';
    CopyText(folder, ProgramOfUninstallCommand(command));
    TrimToDirectory(folder);
    return read && !SamePath(folder, g_setup.destDir);
}

