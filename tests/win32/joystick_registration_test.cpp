// The joystick driver and uninstall entries, written to the (Wine) registry and read back with
// RegQueryValueExA. The test makes the joystick driver keys that a Windows 95/98 system has.
// String byte counts are checked in registry_trace_test.
#include "base/setup_state.h"
#include "install/joystick_registration.h"
#include "install/record_writer.h"
#include "support/registry_values.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const std::string kJoystick = "System\\CurrentControlSet\\control\\MediaResources\\joystick";
const std::string kSettings = "\\CurrentJoystickSettings";
const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pad";

// The configuration block: flags, buttons, usage 6, 92 zero bytes, type 12 at offset 104,
// four zero bytes.
Bytes Block(std::initializer_list<std::uint8_t> flags, std::initializer_list<std::uint8_t> buttons)
{
    Bytes b(flags);
    b.insert(b.end(), buttons);
    b.insert(b.end(), {0x06, 0x00, 0x00, 0x00});
    b.insert(b.end(), 92, 0x00);
    b.insert(b.end(), {0x0C, 0x00, 0x00, 0x00});
    b.insert(b.end(), 4, 0x00);
    return b;
}

const Bytes kDefaultBlock = Block({0x00, 0x00, 0x00, 0x00}, {0x04, 0x00, 0x00, 0x00});

class JoystickRegistration : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_setup = SetupState{};
        std::strcpy(g_setup.productName, "Pad");
        std::strcpy(g_setup.driverName, "PADJOY.VXD");
        g_setup.oemData1 = 0;
        g_setup.oemData2 = 4;
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kJoystick);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstall);
        StartRecordIn("C:\\Pad");
    }
    void TearDown() override { EndInstallRecord(); }

    // A joystick driver key, with its settings key unless told otherwise.
    static void AddDriver(const std::string& name, bool withSettings = true)
    {
        ASSERT_TRUE(CreateTestKey(HKEY_LOCAL_MACHINE,
                                  kJoystick + "\\" + name + (withSettings ? kSettings : "")));
    }

    static StoredValue Setting(const std::string& driver, const std::string& value)
    {
        return ReadStoredValue(HKEY_LOCAL_MACHINE, kJoystick + "\\" + driver + kSettings, value);
    }

    static void ExpectJoystickValues(const std::string& driver,
                                     const std::string& callout = "PADJOY.VXD",
                                     const std::string& product = "Pad",
                                     const Bytes& block = kDefaultBlock)
    {
        SCOPED_TRACE(driver);
        ExpectString(Setting(driver, "Joystick1OEMCallout"), callout);
        ExpectString(Setting(driver, "Joystick1OEMName"), product);
        ExpectBinary(Setting(driver, "Joystick1Configuration"), block);
    }

    static void ExpectNoJoystickValues(const std::string& driver)
    {
        for (const char* name :
             {"Joystick1OEMCallout", "Joystick1OEMName", "Joystick1Configuration"}) {
            EXPECT_FALSE(Setting(driver, name).found) << driver << ' ' << name;
        }
    }

    static void ExpectUninstallEntry(const std::string& product = "Pad",
                                     const std::string& command = "C:\\Pad\\UNINSTAL.EXE")
    {
        ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, kUninstall, "DisplayName"), product);
        ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, kUninstall, "UninstallString"), command);
    }
};

TEST_F(JoystickRegistration, SystemWithoutJoystickKeyGetsOnlyTheUninstallEntry)
{
    EXPECT_EQ(RegisterJoystickDriver(), 1);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kJoystick));
    ExpectUninstallEntry();
}

TEST_F(JoystickRegistration, JoystickKeyWithoutSubkeysGetsNothing)
{
    ASSERT_TRUE(CreateTestKey(HKEY_LOCAL_MACHINE, kJoystick));
    EXPECT_EQ(RegisterJoystickDriver(), 1);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kJoystick.c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD subkeys = 99;
    DWORD values = 99;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(subkeys, 0u);
    EXPECT_EQ(values, 0u);
    ExpectUninstallEntry();
}

TEST_F(JoystickRegistration, EveryDriverWithSettingsGetsTheSameThreeValues)
{
    AddDriver("msjstick.drv<0000>");
    AddDriver("gameport.drv<0001>", false);
    AddDriver("msjstick.drv<0002>");
    EXPECT_EQ(RegisterJoystickDriver(), 1);
    ExpectJoystickValues("msjstick.drv<0000>");
    ExpectJoystickValues("msjstick.drv<0002>");
    // Opened, never created.
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kJoystick + "\\gameport.drv<0001>" + kSettings));
    ExpectUninstallEntry();
}

TEST_F(JoystickRegistration, ConfigurationBlockCarriesTheOemValues)
{
    AddDriver("msjstick.drv<0000>");
    g_setup.oemData1 = 258;
    g_setup.oemData2 = 4;
    RegisterJoystickDriver();
    ExpectJoystickValues("msjstick.drv<0000>", "PADJOY.VXD", "Pad",
                         Block({0x02, 0x01, 0x00, 0x00}, {0x04, 0x00, 0x00, 0x00}));

    // A second run overwrites the values with the new pair.
    g_setup.oemData1 = 0x0012000F;
    g_setup.oemData2 = -3;
    std::strcpy(g_setup.driverName, "QUORRA.VXD");
    std::strcpy(g_setup.productName, "Quorra Pad");
    RegisterJoystickDriver();
    ExpectJoystickValues("msjstick.drv<0000>", "QUORRA.VXD", "Quorra Pad",
                         Block({0x0F, 0x00, 0x12, 0x00}, {0xFD, 0xFF, 0xFF, 0xFF}));
    DeleteKeyTree(HKEY_LOCAL_MACHINE,
                  "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorra Pad");
}

TEST_F(JoystickRegistration, OtherSettingsValuesAreLeftAlone)
{
    AddDriver("msjstick.drv<0000>");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                            (kJoystick + "\\msjstick.drv<0000>" + kSettings).c_str(), 0,
                            KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    const char oldName[] = "Old Stick";
    RegSetValueExA(key, "Joystick1OEMName", 0, REG_SZ, reinterpret_cast<const BYTE*>(oldName),
                   sizeof oldName);
    const BYTE second[] = {1, 2, 3};
    RegSetValueExA(key, "Joystick2Configuration", 0, REG_BINARY, second, sizeof second);
    RegCloseKey(key);

    RegisterJoystickDriver();
    EXPECT_EQ(StoredText(Setting("msjstick.drv<0000>", "Joystick1OEMName")), "Pad");
    EXPECT_EQ(Setting("msjstick.drv<0000>", "Joystick2Configuration").bytes, (Bytes{1, 2, 3}));
}

TEST_F(JoystickRegistration, LongDriverNamesGetTheirValuesToo)
{
    // 55 characters is the longest name whose settings path fits 80 bytes; the longer ones
    // still get theirs.
    const std::vector<std::string> names = {std::string(55, 'a'), std::string(56, 'b'),
                                            std::string(70, 'c'), std::string(79, 'd')};
    for (const std::string& name : names) {
        AddDriver(name);
    }
    RegisterJoystickDriver();
    for (const std::string& name : names) {
        ExpectJoystickValues(name);
    }
}

TEST_F(JoystickRegistration, ListingEndsAtANameTooLongForItsHolder)
{
    // Listed in name order: the 80-character name does not fit, and the walk ends there.
    AddDriver("A");
    AddDriver(std::string(80, 'B'));
    AddDriver("C");
    EXPECT_EQ(RegisterJoystickDriver(), 1);
    ExpectJoystickValues("A");
    ExpectNoJoystickValues(std::string(80, 'B'));
    ExpectNoJoystickValues("C");
    ExpectUninstallEntry();
}

TEST_F(JoystickRegistration, SettingsKeyThatCannotBeOpenedIsPassedOver)
{
    AddDriver("A");
    ASSERT_TRUE(CreateTestKey(HKEY_LOCAL_MACHINE, kJoystick + "\\B"));
    ASSERT_TRUE(CreateBrokenLinkKey(HKEY_LOCAL_MACHINE, kJoystick + "\\B" + kSettings));
    AddDriver("C");
    EXPECT_EQ(RegisterJoystickDriver(), 1);
    ExpectJoystickValues("A");
    ExpectJoystickValues("C");
    ExpectUninstallEntry();
}

TEST_F(JoystickRegistration, UninstallKeyThatCannotBeCreatedEndsTheWork)
{
    AddDriver("A");
    ASSERT_TRUE(CreateBrokenLinkKey(HKEY_LOCAL_MACHINE, kUninstall));
    EXPECT_EQ(RegisterJoystickDriver(), 1);
    ExpectJoystickValues("A");
    EXPECT_FALSE(ReadStoredValue(HKEY_LOCAL_MACHINE, kUninstall, "DisplayName").found);
    EXPECT_FALSE(ReadStoredValue(HKEY_LOCAL_MACHINE, kUninstall, "UninstallString").found);
}

TEST_F(JoystickRegistration, NothingAtAllWithoutJoystickKeyAndUninstallKey)
{
    ASSERT_TRUE(CreateBrokenLinkKey(HKEY_LOCAL_MACHINE, kUninstall));
    EXPECT_EQ(RegisterJoystickDriver(), 1);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kJoystick));
    EXPECT_FALSE(ReadStoredValue(HKEY_LOCAL_MACHINE, kUninstall, "DisplayName").found);
}

TEST_F(JoystickRegistration, UninstallEntryFollowsProductAndDestination)
{
    std::strcpy(g_setup.destDir, "D:\\PADS\\QUORRA");
    RegisterJoystickDriver();
    ExpectUninstallEntry("Pad", "D:\\PADS\\QUORRA\\UNINSTAL.EXE");
    EXPECT_TRUE(KeyIsVolatile(HKEY_LOCAL_MACHINE, kUninstall));
}

} // namespace
