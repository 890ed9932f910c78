#include "registry/joystick_config.h"

#include "base/bounded_text.h"

namespace {

void PutLittleEndian32(std::uint8_t* at, std::uint32_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
    at[2] = static_cast<std::uint8_t>(value >> 16);
    at[3] = static_cast<std::uint8_t>(value >> 24);
}

} // namespace

void BuildJoystickConfig(std::int32_t oemData1, std::int32_t oemData2,
                         std::uint8_t (&block)[kJoystickConfigSize])
{
    for (std::uint8_t& b : block) {
        b = 0;
    }
    PutLittleEndian32(block + offsetof(JoystickHardwareConfig, hwsFlags),
                      static_cast<std::uint32_t>(oemData1));
    PutLittleEndian32(block + offsetof(JoystickHardwareConfig, hwsNumButtons),
                      static_cast<std::uint32_t>(oemData2));
    PutLittleEndian32(block + offsetof(JoystickHardwareConfig, dwUsageSettings),
                      kJoystickUsageSettings);
    PutLittleEndian32(block + offsetof(JoystickHardwareConfig, dwType), kJoystickType);
}

bool BuildSettingsKeyPath(const char* driverSubkey, char (&out)[kSettingsPathSize])
{
    return JoinTexts(out, {driverSubkey, kJoystickSettingsSuffix});
}

void MakeJoystickValues(const char* driverName, const char* productName,
                        const std::uint8_t (&block)[kJoystickConfigSize],
                        RegistryValue (&values)[kJoystickValueCount])
{
    values[0] = StringValue(kJoystickValueNames[0], driverName);
    values[1] = StringValue(kJoystickValueNames[1], productName);
    values[2] = BinaryValue(kJoystickValueNames[2], block, kJoystickConfigSize);
}
