#include "registry/joystick_config.h"

#include <initializer_list>

#include "base/bounded_text.h"
#include "script/script_names.h"

namespace {

void PutLittleEndian32(std::uint8_t* at, std::uint32_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
    at[2] = static_cast<std::uint8_t>(value >> 16);
    at[3] = static_cast<std::uint8_t>(value >> 24);
}

// The parts one after another; false (and `out` empty) when they do not fit.
template <std::size_t N>
bool Join(char (&out)[N], std::initializer_list<const char*> parts)
{
    out[0] = '\0';
    for (const char* part : parts) {
        if (!AppendText(out, part)) {
            out[0] = '\0';
            return false;
        }
    }
    return true;
}

bool HoldsBlank(const char* text)
{
    for (; *text != '\0'; ++text) {
        if (*text == ' ') {
            return true;
        }
    }
    return false;
}

constexpr char kQuote = '"';
constexpr char kQuoteText[] = {kQuote, '\0'};

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
    return Join(out, {driverSubkey, kJoystickSettingsSuffix});
}

bool BuildUninstallKeyPath(const char* productName, char (&out)[kUninstallTextSize])
{
    return Join(out, {kUninstallKeyPrefix, productName});
}

bool BuildUninstallCommand(const char* destDir, char (&out)[kUninstallTextSize])
{
    const char* quote = HoldsBlank(destDir) ? kQuoteText : "";
    return Join(out, {quote, destDir, "\\", kUninstallerName, quote});
}

char* ProgramOfUninstallCommand(char* command)
{
    if (command[0] != kQuote) {
        return command;
    }
    char* path = command + 1;
    for (char* c = path; *c != '\0'; ++c) {
        if (*c == kQuote) {
            *c = '\0';
            break;
        }
    }
    return path;
}

void MakeJoystickValues(const char* driverName, const char* productName,
                        const std::uint8_t (&block)[kJoystickConfigSize],
                        RegistryValue (&values)[kJoystickValueCount])
{
    values[0] = StringValue(kJoystickValueNames[0], driverName);
    values[1] = StringValue(kJoystickValueNames[1], productName);
    values[2] = BinaryValue(kJoystickValueNames[2], block, kJoystickConfigSize);
}

void MakeUninstallValues(const char* productName, const char* uninstallCommand,
                         RegistryValue (&values)[kUninstallValueCount])
{
    values[0] = StringValue(kUninstallValueNames[0], productName);
    values[1] = StringValue(kUninstallValueNames[1], uninstallCommand);
}
