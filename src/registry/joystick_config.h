// The joystick settings that the setup writes for every joystick driver of the system: the
// configuration block of the first joystick, laid out as the system's joystick hardware
// configuration (JOYREGHWCONFIG), and the key paths and value names of the joystick settings.
#pragma once

#include <cstddef>
#include <cstdint>

#include "registry/registry_value.h"

// JOYREGHWCONFIG: 32-bit fields, little-endian, no gaps.
struct JoystickAxisValues {
    std::uint32_t dwX, dwY, dwZ, dwR, dwU, dwV;
};
struct JoystickHardwareConfig {
    std::uint32_t hwsFlags;      // hws.dwFlags
    std::uint32_t hwsNumButtons; // hws.dwNumButtons
    std::uint32_t dwUsageSettings;
    JoystickAxisValues jpMin;    // hwv.jrvHardware
    JoystickAxisValues jpMax;
    JoystickAxisValues jpCenter;
    std::uint32_t dwPOVValues[4];
    std::uint32_t dwCalFlags;
    std::uint32_t dwType;
    std::uint32_t dwReserved;
};
constexpr std::size_t kJoystickConfigSize = 112;
static_assert(sizeof(JoystickHardwareConfig) == kJoystickConfigSize, "the block is 112 bytes");
static_assert(offsetof(JoystickHardwareConfig, dwUsageSettings) == 8);
static_assert(offsetof(JoystickHardwareConfig, dwPOVValues) == 84);
static_assert(offsetof(JoystickHardwareConfig, dwCalFlags) == 100);
static_assert(offsetof(JoystickHardwareConfig, dwType) == 104);

constexpr std::uint32_t kJoystickUsageSettings = 6;
constexpr std::uint32_t kJoystickType = 12;

// The block: all zero, then the script's two OEM values as flags and button count (32 bits each,
// unchecked), the usage settings and the type.
void BuildJoystickConfig(std::int32_t oemData1, std::int32_t oemData2,
                         std::uint8_t (&block)[kJoystickConfigSize]);

// Below HKEY_LOCAL_MACHINE: the key whose subkeys are the system's joystick drivers ("control"
// in lower case, as the system writes it).
inline constexpr char kJoystickDriversKey[] =
    "System\\CurrentControlSet\\control\\MediaResources\\joystick";
inline constexpr char kJoystickSettingsSuffix[] = "\\CurrentJoystickSettings";

// A driver's subkey name holds at most 79 characters (the listing's 80-byte holder); its settings
// path is built in a holder that takes the longest name with the suffix.
constexpr std::size_t kDriverSubkeySize = 80;
constexpr std::size_t kSettingsPathSize = kDriverSubkeySize + sizeof kJoystickSettingsSuffix - 1;

// The settings key's path below a driver's subkey; false (with `out` empty) when it does not fit,
// since a cut path would name a wrong key.
bool BuildSettingsKeyPath(const char* driverSubkey, char (&out)[kSettingsPathSize]);

// The three values of the first joystick in a settings key, in the order they are written: the
// driver that serves it (its OEM callout), the product's name, the configuration block.
constexpr int kJoystickValueCount = 3;
constexpr const char* kJoystickValueNames[kJoystickValueCount] = {
    "Joystick1OEMCallout", "Joystick1OEMName", "Joystick1Configuration"};
void MakeJoystickValues(const char* driverName, const char* productName,
                        const std::uint8_t (&block)[kJoystickConfigSize],
                        RegistryValue (&values)[kJoystickValueCount]);
