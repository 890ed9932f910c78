#include "registry/joystick_config.h"
#include "registry/uninstall_entry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Block = std::vector<std::uint8_t>;

Block Build(std::int32_t oemData1, std::int32_t oemData2)
{
    std::uint8_t block[kJoystickConfigSize];
    std::memset(block, 0xA5, sizeof block); // whatever was there before is cleared
    BuildJoystickConfig(oemData1, oemData2, block);
    return Block(block, block + sizeof block);
}

// The block as laid out field by field: flags, buttons, usage 6, 92 zero bytes, type 12 at
// offset 104, reserved zero.
Block Expected(std::initializer_list<std::uint8_t> flags,
               std::initializer_list<std::uint8_t> buttons)
{
    Block b(flags);
    b.insert(b.end(), buttons);
    b.insert(b.end(), {0x06, 0x00, 0x00, 0x00});
    b.insert(b.end(), 92, 0x00);
    b.insert(b.end(), {0x0C, 0x00, 0x00, 0x00});
    b.insert(b.end(), 4, 0x00);
    return b;
}

TEST(JoystickConfig, DefaultOemValuesGiveTheDocumentedBlock)
{
    const Block block = Build(0, 4);
    ASSERT_EQ(block.size(), 112u);
    EXPECT_EQ(block, Expected({0, 0, 0, 0}, {0x04, 0, 0, 0}));
}

TEST(JoystickConfig, OemValuesAreStoredLittleEndianUnchecked)
{
    EXPECT_EQ(Build(258, 4), Expected({0x02, 0x01, 0, 0}, {0x04, 0, 0, 0}));
    EXPECT_EQ(Build(0x12345678, -3), Expected({0x78, 0x56, 0x34, 0x12}, {0xFD, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Build(-1, 0x7FFFFFFF), Expected({0xFF, 0xFF, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF, 0x7F}));
}

TEST(JoystickPaths, SettingsPathFollowsTheDriverName)
{
    char path[kSettingsPathSize];
    ASSERT_TRUE(BuildSettingsKeyPath("msjstick.drv<0000>", path));
    EXPECT_STREQ(path, "msjstick.drv<0000>\\CurrentJoystickSettings");
}

TEST(JoystickPaths, DriverNamesUpTo79CharactersGetTheirWholePath)
{
    char path[kSettingsPathSize];
    for (std::size_t length : {55u, 56u, 79u}) {
        const std::string name(length, 'j');
        ASSERT_TRUE(BuildSettingsKeyPath(name.c_str(), path)) << length;
        EXPECT_EQ(std::string(path), name + "\\CurrentJoystickSettings");
    }
    EXPECT_FALSE(BuildSettingsKeyPath(std::string(80, 'j').c_str(), path));
    EXPECT_STREQ(path, "");
}

TEST(UninstallEntry, KeyPathAndCommand)
{
    char key[kUninstallTextSize];
    char command[kUninstallTextSize];
    ASSERT_TRUE(BuildUninstallKeyPath("Pad", key));
    EXPECT_STREQ(key, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pad");
    ASSERT_TRUE(BuildUninstallCommand("C:\\Pad", command));
    EXPECT_STREQ(command, "C:\\Pad\\UNINSTAL.EXE");
}

TEST(UninstallEntry, ACommandWithBlanksIsQuotedAndGivesBackItsProgram)
{
    const struct {
        const char* destination;
        const char* command;
    } table[] = {
        {"C:\\Pad", "C:\\Pad\\UNINSTAL.EXE"},
        {"C:\\Program Files\\Kestrel Pad", "\"C:\\Program Files\\Kestrel Pad\\UNINSTAL.EXE\""},
        {"C:\\PADS\\A B", "\"C:\\PADS\\A B\\UNINSTAL.EXE\""},
        {"C:\\Pad ", "\"C:\\Pad \\UNINSTAL.EXE\""},
    };
    for (const auto& row : table) {
        char command[kUninstallTextSize];
        ASSERT_TRUE(BuildUninstallCommand(row.destination, command)) << row.destination;
        EXPECT_STREQ(command, row.command);
        EXPECT_EQ(ProgramOfUninstallCommand(command),
                  std::string(row.destination) + "\\UNINSTAL.EXE");
    }
}

TEST(UninstallEntry, TheProgramOfACommandIsItsQuotedPathOrTheWholeCommand)
{
    const struct {
        const char* command;
        const char* program;
    } table[] = {
        {"C:\\Pad\\UNINSTAL.EXE", "C:\\Pad\\UNINSTAL.EXE"},
        // Commands of earlier setups, unquoted whatever they hold.
        {"C:\\Program Files\\Pad\\UNINSTAL.EXE", "C:\\Program Files\\Pad\\UNINSTAL.EXE"},
        {"\"C:\\Program Files\\Pad\\UNINSTAL.EXE\" /x", "C:\\Program Files\\Pad\\UNINSTAL.EXE"},
        {"\"C:\\Pad\\UNINSTAL.EXE", "C:\\Pad\\UNINSTAL.EXE"},
        {"\"\"", ""},
        {"", ""},
    };
    for (const auto& row : table) {
        std::string command = row.command;
        EXPECT_STREQ(ProgramOfUninstallCommand(command.data()), row.program) << row.command;
    }
}

TEST(UninstallEntry, LongestProductAndDestinationFit)
{
    char key[kUninstallTextSize];
    char command[kUninstallTextSize];
    const std::string product(59, 'p'); // the whole product name slot
    const std::string dest(79, 'd');
    ASSERT_TRUE(BuildUninstallKeyPath(product.c_str(), key));
    EXPECT_EQ(std::strlen(key), 52u + 59u);
    ASSERT_TRUE(BuildUninstallCommand(dest.c_str(), command));
    EXPECT_EQ(std::strlen(command), 79u + 13u);
    const std::string spaced(79, ' ');
    ASSERT_TRUE(BuildUninstallCommand(spaced.c_str(), command));
    EXPECT_EQ(std::strlen(command), 1u + 79u + 13u + 1u);
    EXPECT_FALSE(BuildUninstallCommand(std::string(115, 'd').c_str(), command));
    EXPECT_STREQ(command, "");
}

// A string value: its name, and its text's bytes without the NUL.
void ExpectStringValue(const RegistryValue& v, const char* name, const std::string& text)
{
    EXPECT_STREQ(v.name, name);
    EXPECT_EQ(v.type, kRegistryString);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(v.data), v.count), text) << name;
}

TEST(JoystickValues, NamesTypesAndCountsInWritingOrder)
{
    std::uint8_t block[kJoystickConfigSize];
    BuildJoystickConfig(0, 4, block);
    RegistryValue values[kJoystickValueCount];
    MakeJoystickValues("QUORRA.VXD", "Quorra Pad", block, values);
    ExpectStringValue(values[0], "Joystick1OEMCallout", "QUORRA.VXD");
    ExpectStringValue(values[1], "Joystick1OEMName", "Quorra Pad");
    EXPECT_STREQ(values[2].name, "Joystick1Configuration");
    EXPECT_EQ(values[2].type, kRegistryBinary);
    EXPECT_EQ(values[2].data, block);
    EXPECT_EQ(values[2].count, 112u);
}

TEST(UninstallValues, StringsAreCountedWithoutTheirNul)
{
    char command[kUninstallTextSize];
    ASSERT_TRUE(BuildUninstallCommand("C:\\Pad", command));
    RegistryValue values[kUninstallValueCount];
    MakeUninstallValues("Pad", command, values);
    ExpectStringValue(values[0], "DisplayName", "Pad");
    ExpectStringValue(values[1], "UninstallString", "C:\\Pad\\UNINSTAL.EXE");
    // An empty text is a string of no bytes.
    MakeUninstallValues("", command, values);
    EXPECT_EQ(values[0].count, 0u);
}

} // namespace
