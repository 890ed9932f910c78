#include "install/joystick_registration.h"

#include <windows.h>

#include "base/bounded_text.h"
#include "base/setup_state.h"
#include "install/registry_write.h"
#include "install/uninstall_registration.h"
#include "registry/joystick_config.h"

namespace {

// Opens the settings key of every joystick driver that the system lists, in turn, and hands it
// to `action` with its path below HKEY_LOCAL_MACHINE. A settings key is only opened, never
// created: a driver without one is passed over. The listing ends at the first index that gives no
// name, a name too long for its holder included.
void ForEachJoystickSettingsKey(void (*action)(HKEY settings, const char* path))
{
    HKEY drivers = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kJoystickDriversKey, 0, KEY_ALL_ACCESS, &drivers) !=
        ERROR_SUCCESS) {
        return;
    }
    // The listing ends at the first index that does not give a name, a name too long for
    // the holder included.
    for (DWORD index = 0;; ++index) {
        char name[kDriverSubkeySize];
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(drivers, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        char settingsPath[kSettingsPathSize];
        HKEY settings = nullptr;
        if (!BuildSettingsKeyPath(name, settingsPath) ||
            RegOpenKeyExA(drivers, settingsPath, 0, KEY_ALL_ACCESS, &settings) != ERROR_SUCCESS) {
            continue;
        }
        char fullPath[sizeof kJoystickDriversKey + kSettingsPathSize];
        CopyText(fullPath, kJoystickDriversKey);
        AppendText(fullPath, "\\");
        AppendText(fullPath, settingsPath);
        action(settings, fullPath);
        RegCloseKey(settings);
    }
    RegCloseKey(drivers);
}


// The first joystick's values in one driver's settings key.
void WriteFirstJoystick(HKEY settings, const char* path)
{
    std::uint8_t block[kJoystickConfigSize];
    BuildJoystickConfig(g_setup.oemData1, g_setup.oemData2, block);
    RegistryValue values[kJoystickValueCount];
    MakeJoystickValues(g_setup.driverName, g_setup.productName, block, values);
    for (const RegistryValue& value : values) {
        SetRecordedValue(HKEY_LOCAL_MACHINE, path, settings, value);
    }
}

} // namespace

int RegisterJoystickDriver()
{
    ForEachJoystickSettingsKey(WriteFirstJoystick);
    WriteUninstallEntry();
    return 1;
}
