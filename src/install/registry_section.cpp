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

// The script's text, read whole and followed by a NUL, in a block of fixed global memory; null
// when it is not read.
char* g_script = nullptr;

// Reads the script at `scriptPath` whole into g_script; nothing is kept when it cannot be opened
// or read whole.
void ReadScriptText(const char* scriptPath)
{
    // Held without sharing while it is read. Only an existing script is opened, and nothing is
    // ever written to it.
    const HANDLE file = CreateFileA(scriptPath, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    // The block gets one byte more than the file, which stays zero: the text always ends with
    // a NUL, whatever the file holds. A file of 4 GB or more cannot be read whole.
    DWORD sizeHigh = 0;
    const DWORD size = GetFileSize(file, &sizeHigh);
    DWORD read = 0;
    if (size != INVALID_FILE_SIZE && sizeHigh == 0) {
        g_script = static_cast<char*>(GlobalAlloc(GPTR, size + 1));
    }
    if (g_script != nullptr && (!ReadFile(file, g_script, size, &read, nullptr) || read != size)) {
        GlobalFree(g_script);
        g_script = nullptr;
    }
    CloseHandle(file);
}

// Applies every line of the registry section of the script's `text`, with the class key of the
// system's joystick device. A line longer than 255 characters is passed over.
void ApplyScriptText(const char* text)
{
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

void ReadRegistrySection()
{
    char scriptPath[kPathSize];
    if (g_script == nullptr && BuildScriptPath(g_setup.sourceDir, scriptPath, sizeof scriptPath)) {
        ReadScriptText(scriptPath);
    }
}

int ApplyRegistrySection()
{
    ReadRegistrySection();
    if (g_script == nullptr) {
        return 0;
    }
    ApplyScriptText(g_script);
    GlobalFree(g_script);
    g_script = nullptr;
    return 1;
}
