// The registry section of real scripts, applied to the (Wine) registry and read back with
// RegQueryValueExA: keys, types and exact bytes. String byte counts cannot be seen this way
// (Wine keeps a NUL after every REG_SZ); registry_trace_test checks them.
#include "base/setup_state.h"
#include "install/record_writer.h"
#include "install/registry_section.h"
#include "script/script_names.h"
#include "support/registry_values.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const std::string kMedium = "C:\\MEDIUM";
const std::string kScript = kMedium + "\\" + kScriptName;
const std::string kBase = "SOFTWARE\\RegistrySectionTest";
const std::string kClassesBase = "RegistrySectionTest";
const std::string kClassRoot = "System\\CurrentControlSet\\Services\\Class\\";
const std::string kMedia = kClassRoot + "MEDIA";
const std::string kDestination = "C:\\RECORDED";

class RegistrySection : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_setup = SetupState{};
        FreshFolder(kMedium);
        std::strcpy(g_setup.sourceDir, kMedium.c_str());
        std::strcpy(g_setup.productName, "Pad");
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kBase);
        DeleteKeyTree(HKEY_CLASSES_ROOT, kClassesBase);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kMedia);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kClassRoot + "Settings");
        StartRecordIn(kDestination);
    }
    void TearDown() override { EndInstallRecord(); }

    // Writes SETUP.INF and applies its registry section.
    static int Apply(const std::string& script)
    {
        EXPECT_TRUE(WriteWholeFile(kScript, script));
        return ApplyRegistrySection();
    }

    static StoredValue Value(const std::string& subkey, const std::string& name)
    {
        return ReadStoredValue(HKEY_LOCAL_MACHINE, kBase + subkey, name);
    }

    static bool BaseExists() { return KeyExists(HKEY_LOCAL_MACHINE, kBase); }

    // A joystick device as its driver's setup leaves it below the MEDIA class, and a sound
    // device beside it.
    static void AddMediaDevices()
    {
        ASSERT_TRUE(CreateTestKey(HKEY_LOCAL_MACHINE, kMedia + "\\0000\\Drivers\\wave"));
        ASSERT_TRUE(CreateTestKey(HKEY_LOCAL_MACHINE, kMedia + "\\0001\\Drivers\\joystick"));
    }
};

// ---- the section ----

TEST_F(RegistrySection, ScriptWithoutSectionWritesNothing)
{
    EXPECT_EQ(Apply("[Main]\r\nProductName=Pad\r\nHKLM," + kBase + ",V,,x\r\n"), 1);
    EXPECT_FALSE(BaseExists());
}

TEST_F(RegistrySection, OnlyLinesInsideTheSectionAreApplied)
{
    EXPECT_EQ(Apply("HKLM," + kBase + "\\Before,V,,x\r\n"
                    " [REGISTRY_BEGIN]\r\n"
                    "HKLM," + kBase + "\\NotYet,V,,x\r\n"
                    "[registry_begin]\r\n"
                    "HKLM," + kBase + "\\StillNot,V,,x\r\n"
                    "[REGISTRY_BEGIN]\r\n"
                    "HKLM," + kBase + "\\Inside,V,,x\r\n"
                    "\r\n"
                    " [REGISTRY_END]\r\n"
                    "HKLM," + kBase + "\\Inside,W,,y\r\n"
                    "[REGISTRY_END]\r\n"
                    "HKLM," + kBase + "\\After,V,,x\r\n"),
              1);
    ExpectString(Value("\\Inside", "V"), "x");
    ExpectString(Value("\\Inside", "W"), "y");
    for (const char* key : {"\\Before", "\\NotYet", "\\StillNot", "\\After"}) {
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kBase + key)) << key;
    }
}

TEST_F(RegistrySection, TwoSectionsAreAppliedInTextOrder)
{
    EXPECT_EQ(Apply("[REGISTRY_BEGIN]\n"
                    "HKLM," + kBase + ",V,,first\n"
                    "HKLM," + kBase + ",A,,a\n"
                    "[REGISTRY_END]\n"
                    "HKLM," + kBase + ",Between,,b\n"
                    "[REGISTRY_BEGIN]\n"
                    "HKLM," + kBase + ",V,,second\n"
                    "[REGISTRY_END]\n"),
              1);
    ExpectString(Value("", "V"), "second");
    ExpectString(Value("", "A"), "a");
    EXPECT_FALSE(Value("", "Between").found);
}

TEST_F(RegistrySection, SectionNeverClosedRunsToTheEnd)
{
    // Lines end with CR, LF or both; the last one with the text.
    EXPECT_EQ(Apply("[REGISTRY_BEGIN]\r"
                    "HKLM," + kBase + ",Cr,,1\r"
                    "HKLM," + kBase + ",Lf,,2\n"
                    "HKLM," + kBase + ",Last,,3"),
              1);
    ExpectString(Value("", "Cr"), "1");
    ExpectString(Value("", "Lf"), "2");
    ExpectString(Value("", "Last"), "3");
}

TEST_F(RegistrySection, TextEndsAtANulByte)
{
    std::string script = "[REGISTRY_BEGIN]\r\nHKLM," + kBase + ",Before,,1\r\n";
    script += '\0';
    script += "HKLM," + kBase + ",After,,2\r\n";
    EXPECT_EQ(Apply(script), 1);
    ExpectString(Value("", "Before"), "1");
    EXPECT_FALSE(Value("", "After").found);
}

TEST_F(RegistrySection, LineOver255CharactersIsPassedOver)
{
    // Cut to 255 characters this line would still be a good line with a shorter text.
    const std::string head = "HKLM," + kBase + "," + std::string(100, 'n') + ",,";
    const std::string longLine = head + std::string(256 - head.size(), 'd');
    ASSERT_EQ(longLine.size(), 256u);
    EXPECT_EQ(Apply("[REGISTRY_BEGIN]\r\n" + longLine + "\r\nHKLM," + kBase + ",Next,,n\r\n"), 1);
    EXPECT_FALSE(Value("", std::string(100, 'n')).found);
    ExpectString(Value("", "Next"), "n");
}

// ---- values ----

TEST_F(RegistrySection, RootAndSubkeyOnlySetAnEmptyDefaultString)
{
    EXPECT_EQ(Apply("[REGISTRY_BEGIN]\nHKLM," + kBase + "\\Only\n"), 1);
    ASSERT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kBase + "\\Only"));
    ExpectString(Value("\\Only", ""), "");
}

TEST_F(RegistrySection, ProductNameTakesThePlaceOfPercentS)
{
    EXPECT_EQ(Apply("[REGISTRY_BEGIN]\n"
                    "HKLM," + kBase + "\\%s,Name,,%s\n"
                    "HKLM," + kBase + "\\%s,Percent,,100%\n"),
              1);
    ExpectString(Value("\\Pad", "Name"), "Pad");
    ExpectString(Value("\\Pad", "Percent"), "100%");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kBase + "\\%s"));
}

TEST_F(RegistrySection, StringValueKeepsItsText)
{
    EXPECT_EQ(Apply("[REGISTRY_BEGIN]\n"
                    "HKLM," + kBase + ",Five,,Hello\n"
                    "HKLM," + kBase + ",\"With, comma\",,\" a, b \"\n"),
              1);
    ExpectString(Value("", "Five"), "Hello");
    ExpectString(Value("", "With, comma"), " a, b");
}

TEST_F(RegistrySection, BinaryFieldsGiveExactBytes)
{
    EXPECT_EQ(Apply("[REGISTRY_BEGIN]\n"
                    "HKLM," + kBase + ",Four,1,01, 0a, ff, 7\n"
                    "HKLM," + kBase + ",Pairs,1,123,1G\n"
                    "HKLM," + kBase + ",Stops,1,01,,02\n"
                    "HKLM," + kBase + ",Empty,1\n"),
              1);
    ExpectBinary(Value("", "Four"), Bytes{0x01, 0x0A, 0xFF, 0x07});
    ExpectBinary(Value("", "Pairs"), Bytes{0x12, 0x20});
    ExpectBinary(Value("", "Stops"), Bytes{0x01});
    ExpectBinary(Value("", "Empty"), Bytes{0x00});
}

TEST_F(RegistrySection, ClassesRootLinesWriteThere)
{
    EXPECT_EQ(Apply("[REGISTRY_BEGIN]\nHKEY_CLASSES_ROOT," + kClassesBase + "\\%s,,,Pad file\n"),
              1);
    ExpectString(ReadStoredValue(HKEY_CLASSES_ROOT, kClassesBase + "\\Pad", ""), "Pad file");
}

TEST_F(RegistrySection, OtherRootNamesWriteNothing)
{
    EXPECT_EQ(Apply("[REGISTRY_BEGIN]\n"
                    "HKEY_LOCAL_MACHINE," + kBase + ",V,,x\n"
                    "hklm," + kBase + ",V,,x\n"
                    "Hkr," + kBase + ",V,,x\n"
                    "HKCR," + kClassesBase + ",V,,x\n"
                    "HKEY_CURRENT_USER," + kBase + ",V,,x\n"
                    "; HKLM," + kBase + ",V,,x\n"),
              1);
    EXPECT_FALSE(BaseExists());
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassesBase));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kBase));
}

TEST_F(RegistrySection, LinesBeyondTheLimitsWriteNothing)
{
    EXPECT_EQ(Apply("[REGISTRY_BEGIN]\n"
                    "HKLM," + kBase + ",Flag39,1" + std::string(38, 'x') + ",ab\n"
                    "HKLM," + kBase + ",Flag40,1" + std::string(39, 'x') + ",ab\n"
                    "HKLM," + kBase + ",Data127,,%s" + std::string(124, 'd') + "\n"
                    "HKLM," + kBase + ",Data128,,%s" + std::string(125, 'd') + "\n"
                    "HKLM," + kBase + "\\" + std::string(128, 'k') + ",V,,x\n"),
              1);
    ExpectBinary(Value("", "Flag39"), Bytes{0xAB});
    EXPECT_FALSE(Value("", "Flag40").found);
    ExpectString(Value("", "Data127"), "Pad" + std::string(124, 'd'));
    EXPECT_FALSE(Value("", "Data128").found);
    // Cut to 127 characters, the subkey would have named this key.
    const std::string cutKey = (kBase + "\\" + std::string(128, 'k')).substr(0, 127);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, cutKey));
}

TEST_F(RegistrySection, KeyThatCannotBeCreatedIsPassedOver)
{
    ASSERT_TRUE(CreateBrokenLinkKey(HKEY_LOCAL_MACHINE, kBase + "\\Broken"));
    EXPECT_EQ(Apply("[REGISTRY_BEGIN]\n"
                    "HKLM,\\" + kBase + "\\Leading,V,,x\n"
                    "HKLM," + kBase + "\\Broken,V,,x\n"
                    "HKLM," + kBase + ",After,,y\n"),
              1);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kBase + "\\Leading"));
    ExpectString(Value("", "After"), "y");
}

TEST_F(RegistrySection, KeysAreCreatedVolatile)
{
    EXPECT_EQ(Apply("[REGISTRY_BEGIN]\nHKLM," + kBase + "\\New\\Deeper,V,,x\n"), 1);
    EXPECT_TRUE(KeyIsVolatile(HKEY_LOCAL_MACHINE, kBase + "\\New\\Deeper"));
}

// ---- "HKR": the joystick device's class key ----

TEST_F(RegistrySection, JoystickClassKeyIsTheMediaDeviceWithJoystickDrivers)
{
    char classKey[kDeviceClassKeySize] = "unchanged";
    FindJoystickClassKey(classKey);
    EXPECT_STREQ(classKey, "");
    AddMediaDevices();
    FindJoystickClassKey(classKey);
    EXPECT_STREQ(classKey, "MEDIA\\0001");
}

TEST_F(RegistrySection, HkrLinesWriteBelowTheJoystickClassKey)
{
    AddMediaDevices();
    EXPECT_EQ(Apply("[REGISTRY_BEGIN]\n"
                    "HKR,Settings\\%s,Gain,,5\n"
                    "HKR,,OEMCallout,,PADJOY.VXD\n"
                    "HKR,Settings,Bytes,1,0c,0d\n"),
              1);
    const std::string device = kMedia + "\\0001";
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, device + "\\Settings\\Pad", "Gain"), "5");
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, device, "OEMCallout"), "PADJOY.VXD");
    ExpectBinary(ReadStoredValue(HKEY_LOCAL_MACHINE, device + "\\Settings", "Bytes"),
                 Bytes{0x0C, 0x0D});
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMedia + "\\0000\\Settings"));
}

TEST_F(RegistrySection, HkrLinesWriteNothingWithoutAJoystickDevice)
{
    ASSERT_TRUE(CreateTestKey(HKEY_LOCAL_MACHINE, kMedia + "\\0000\\Drivers\\wave"));
    EXPECT_EQ(Apply("[REGISTRY_BEGIN]\n"
                    "HKR,Settings,Gain,,5\n"
                    "HKLM," + kBase + ",Other,,o\n"),
              1);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClassRoot + "Settings"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMedia + "\\Settings"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMedia + "\\0000\\Settings"));
    ExpectString(Value("", "Other"), "o");
}

TEST_F(RegistrySection, ApplyRegistryLineUsesTheClassKeyItIsGiven)
{
    ApplyRegistryLine("MEDIA\\0007", "HKR,Sub,V,,x");
    ExpectString(ReadStoredValue(HKEY_LOCAL_MACHINE, kMedia + "\\0007\\Sub", "V"), "x");
    ApplyRegistryLine("", "HKR,Sub,W,,x");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClassRoot + "Sub"));
}

// ---- the script file ----

TEST_F(RegistrySection, MissingScriptIsNotCreatedAndWritesNothing)
{
    ASSERT_FALSE(FileExists(kScript));
    EXPECT_EQ(ApplyRegistrySection(), 0);
    EXPECT_FALSE(FileExists(kScript));
    EXPECT_FALSE(BaseExists());
}

TEST_F(RegistrySection, EmptyScriptWritesNothing)
{
    EXPECT_EQ(Apply(""), 1);
    EXPECT_FALSE(BaseExists());
}

TEST_F(RegistrySection, ScriptThatCannotBeOpenedWritesNothing)
{
    // A folder that does not exist: nothing can be created there.
    std::strcpy(g_setup.sourceDir, "C:\\NO\\SUCH\\MEDIUM");
    EXPECT_EQ(ApplyRegistrySection(), 0);
    EXPECT_FALSE(FileExists(std::string("C:\\NO\\SUCH\\MEDIUM\\") + kScriptName));

    // A script held open elsewhere without sharing.
    std::strcpy(g_setup.sourceDir, kMedium.c_str());
    ASSERT_TRUE(WriteWholeFile(kScript, "[REGISTRY_BEGIN]\nHKLM," + kBase + ",V,,x\n"));
    const HANDLE held = CreateFileA(kScript.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ApplyRegistrySection(), 0);
    CloseHandle(held);
    EXPECT_FALSE(BaseExists());
    EXPECT_EQ(ApplyRegistrySection(), 1);
    EXPECT_TRUE(BaseExists());
}

TEST_F(RegistrySection, ScriptPathMustFitItsHolder)
{
    // "C:\" and 66 characters: with "\SETUP.INF" 79 characters, the most that fits.
    const std::string fits = "C:\\" + std::string(66, 'm');
    const std::string over = "C:\\" + std::string(67, 'm');
    for (const std::string& dir : {fits, over}) {
        FreshFolder(dir);
        ASSERT_TRUE(WriteWholeFile(dir + "\\" + kScriptName,
                                   "[REGISTRY_BEGIN]\nHKLM," + kBase + "," + dir.substr(3, 2) +
                                       std::to_string(dir.size()) + ",,x\n"));
    }
    std::strcpy(g_setup.sourceDir, fits.c_str());
    EXPECT_EQ(ApplyRegistrySection(), 1);
    std::strcpy(g_setup.sourceDir, over.c_str());
    EXPECT_EQ(ApplyRegistrySection(), 0);
    EXPECT_TRUE(Value("", "mm69").found);
    EXPECT_FALSE(Value("", "mm70").found);
}

TEST_F(RegistrySection, ScriptOf4GigabytesCannotBeReadWhole)
{
    // A sparse file: its first bytes a good section, its size beyond 32 bits.
    ASSERT_TRUE(WriteWholeFile(kScript, "[REGISTRY_BEGIN]\nHKLM," + kBase + ",V,,x\n"));
    const HANDLE file = CreateFileA(kScript.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = (1LL << 32) + 64;
    ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    EXPECT_EQ(ApplyRegistrySection(), 0);
    EXPECT_FALSE(BaseExists());
    DeleteFileA(kScript.c_str());
}

// ---- what the uninstall may delete ----

} // namespace
