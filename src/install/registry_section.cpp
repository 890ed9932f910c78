#include "install/registry_section.h"

#include <windows.h>

#include "base/bounded_text.h"
#include "base/setup_state.h"
#include "install/registry_write.h"
#include "registry/registry_section_scan.h"
#include "script/script_rules.h"

namespace {

// Windows 95/98 keep every multimedia device, game controllers included, as a numbered subkey of
// the MEDIA class (MEDIA\0000, MEDIA\0001, ...). A joystick device's key carries the subkey
// "Drivers\joystick" that its driver's INF file makes; the first such key is the device whose
// settings the script's "HKR" lines extend. Without one, "HKR" lines write nothing rather than
// something below the bare class root.
constexpr char kMediaClass[] = "MEDIA";
constexpr char kJoystickDriversSubkey[] = "\\Drivers\\joystick";

// Reads the script at `scriptPath` as plain text and applies every line of its registry section,
// with the class key of the system's joystick device. A line longer than 255 characters is passed
// over. Returns 1 when the script was opened and read whole; 0 otherwise, and then no line is
// applied.
int ApplyScriptRegistry(const char* scriptPath)
{
    // Held without sharing while it is read. Only an existing script is opened: the disk in the
    // drive may have been changed meanwhile, and nothing is ever written to it.
    const HANDLE file = CreateFileA(scriptPath, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    // The block gets one byte more than the file, which stays zero: the text always ends with
    // a NUL, whatever the file holds. A file of 4 GB or more cannot be read whole.
    DWORD sizeHigh = 0;
    const DWORD size = GetFileSize(file, &sizeHigh);
    if (size == INVALID_FILE_SIZE || sizeHigh != 0) {
        CloseHandle(file);
        return 0;
    }
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size + 1);
    if (block == nullptr) {
        CloseHandle(file);
        return 0;
    }
    char* text = static_cast<char*>(GlobalLock(block));
    DWORD read = 0;
    if (text == nullptr || !ReadFile(file, text, size, &read, nullptr) || read != size) {
        if (text != nullptr) {
            GlobalUnlock(block);
        }
        GlobalFree(block);
        CloseHandle(file);
        return 0;
    }

    char deviceClassKey[kDeviceClassKeySize];
    FindJoystickClassKey(deviceClassKey);
    RegistrySectionScan scan = StartRegistrySectionScan(text);
    char line[kLineSize];
    bool cut = false;
    while (NextRegistryLine(scan, line, cut)) {
        // A line longer than the line holder is passed over: cut, it would name a wrong value.
        if (!cut) {
            ApplyRegistryLine(deviceClassKey, line);
        }
    }

    GlobalUnlock(block);
    GlobalFree(block);
    CloseHandle(file);
    return 1;
}

} // namespace

void FindJoystickClassKey(char (&out)[kDeviceClassKeySize])
{
    out[0] = '\0';
    char mediaPath[kRegistryKeyPathSize];
    CopyText(mediaPath, kDeviceClassRoot);
    AppendText(mediaPath, kMediaClass);
    HKEY media = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, mediaPath, 0, KEY_READ, &media) != ERROR_SUCCESS) {
        return;
    }
    for (DWORD index = 0;; ++index) {
        char name[kDeviceClassKeySize];
        DWORD nameSize = sizeof name;
        const LONG listed =
            RegEnumKeyExA(media, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
        if (listed == ERROR_MORE_DATA) {
            continue; // a name too long for any class key of ours
        }
        if (listed != ERROR_SUCCESS) {
            break;
        }
        char driversPath[kDeviceClassKeySize + sizeof kJoystickDriversSubkey];
        CopyText(driversPath, name);
        AppendText(driversPath, kJoystickDriversSubkey);
        HKEY drivers = nullptr;
        if (RegOpenKeyExA(media, driversPath, 0, KEY_READ, &drivers) != ERROR_SUCCESS) {
            continue;
        }
        RegCloseKey(drivers);
        if (CopyText(out, kMediaClass) && AppendText(out, "\\") && AppendText(out, name)) {
            break;
        }
        out[0] = '\0';
    }
    RegCloseKey(media);
}

void ApplyRegistryLine(const char* deviceClassKey, const char* line)
{
    RegistryLine parsed;
    if (!ParseRegistryLine(deviceClassKey, g_setup.productName, line, parsed)) {
        return;
    }
    const HKEY root = RootKeyOf(parsed);
    const HKEY key = CreateRecordedKey(root, parsed.keyPath);
    if (key == nullptr) {
        return;
    }
    SetRecordedValue(root, parsed.keyPath, key, ValueOf(parsed));
    RegCloseKey(key);
}

int ApplyRegistrySection()
{
    char scriptPath[kPathSize];
    if (!BuildScriptPath(g_setup.sourceDir, scriptPath, sizeof scriptPath)) {
        return 0;
    }
    return ApplyScriptRegistry(scriptPath);
}
