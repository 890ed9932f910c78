// Reads real scripts written beside the program through the system's profile reader. The program
// runs from C:\MEDIUM so that its script lies there.
#include "base/setup_state.h"
#include "script/script_loader.h"
#include "script/script_names.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const std::string kMedium = "C:\\MEDIUM";
const std::string kScript = kMedium + "\\" + kScriptName;

class ScriptLoader : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_setup = SetupState{};
        g_setup.instance = GetModuleHandleA(nullptr);
        std::strcpy(g_setup.windowsDir, "C:\\WINDOWS");
        DeleteFileA(kScript.c_str());
    }
    void TearDown() override { ReleaseFileTable(); }

    // Writes the script and makes the profile reader forget any earlier one.
    static void Script(const std::string& text)
    {
        ASSERT_TRUE(WriteWholeFile(kScript, text));
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, kScript.c_str());
    }

    static const FileEntry& Entry(int disk, int file) { return g_setup.diskFiles[disk][file]; }

    static bool AllZero(const FileEntry& e)
    {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&e);
        for (std::size_t i = 0; i < sizeof e; ++i) {
            if (bytes[i] != 0) {
                return false;
            }
        }
        return true;
    }
};

TEST_F(ScriptLoader, WithoutScriptEveryKeyTakesItsDefault)
{
    std::strcpy(g_setup.windowsDir, "D:\\WINDOWS");
    ASSERT_EQ(LoadSetupScript(), 1);
    EXPECT_STREQ(g_setup.sourceDir, kMedium.c_str());
    EXPECT_STREQ(g_setup.productName, "Tirvo");
    EXPECT_STREQ(g_setup.caption, "Tirvo Setup Program");
    EXPECT_STREQ(g_setup.destDir, "D:\\TIRVO");
    EXPECT_STREQ(g_setup.driverName, "JOY.VXD");
    EXPECT_EQ(g_setup.oemData1, 0);
    EXPECT_EQ(g_setup.oemData2, 4);
    EXPECT_EQ(g_setup.minimumSpaceKb, 1024);
    EXPECT_EQ(g_setup.diskCount, 0);
    EXPECT_EQ(g_setup.totalFiles, 0);
    ASSERT_NE(g_setup.fileTableBase, nullptr);
    EXPECT_EQ(GlobalSize(g_setup.fileTableHandle), 600u);
    EXPECT_EQ(g_setup.diskFiles[0], g_setup.fileTableBase);
}

TEST_F(ScriptLoader, MainSectionValuesAreReadAndCutToTheirSlots)
{
    Script("[main]\r\n"
           "productname=Quorra Pad\r\n"
           "DriverName=ABCDEFGHIJKLMNOPQRSTUVWXYZ.VXD\r\n"
           "OEMData1=258\r\n"
           "OEMData2=-3\r\n"
           "MinimumSpace=70000\r\n");
    ASSERT_EQ(LoadSetupScript(), 1);
    EXPECT_STREQ(g_setup.productName, "Quorra Pad");
    EXPECT_STREQ(g_setup.caption, "Quorra Pad Setup Program");
    EXPECT_STREQ(g_setup.driverName, "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(g_setup.oemData1, 258);
    EXPECT_EQ(g_setup.oemData2, -3);
    EXPECT_EQ(g_setup.minimumSpaceKb, static_cast<std::int16_t>(70000 & 0xFFFF));
}

TEST_F(ScriptLoader, ProductNameIsReadUpTo31Characters)
{
    Script("[Main]\r\nProductName=" + std::string(40, 'P') + "\r\n");
    ASSERT_EQ(LoadSetupScript(), 1);
    EXPECT_EQ(std::string(g_setup.productName), std::string(31, 'P'));
}

TEST_F(ScriptLoader, DefaultPathOnAnyDriveMovesToTheWindowsDrive)
{
    std::strcpy(g_setup.windowsDir, "D:\\WINDOWS");
    Script("[Main]\r\nDefaultPath=E:\\PADS\\QUORRA\r\n");
    ASSERT_EQ(LoadSetupScript(), 1);
    EXPECT_STREQ(g_setup.destDir, "D:\\PADS\\QUORRA");
}

TEST_F(ScriptLoader, RelativeDefaultPathJoinsProgramFilesFromRegistry)
{
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                            KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    const char programs[] = "E:\\Progs";
    RegSetValueExA(key, "ProgramFilesDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(programs),
                   sizeof programs);
    Script("[Main]\r\nDefaultPath=\\QUORRA\r\n");
    ASSERT_EQ(LoadSetupScript(), 1);
    EXPECT_STREQ(g_setup.destDir, "E:\\Progs\\QUORRA");

    // Without the value the usual folder stands in.
    RegDeleteValueA(key, "ProgramFilesDir");
    RegCloseKey(key);
    ReleaseFileTable();
    Script("[Main]\r\nDefaultPath=QUORRA\r\n");
    ASSERT_EQ(LoadSetupScript(), 1);
    EXPECT_STREQ(g_setup.destDir, "C:\\Program Files\\QUORRA");
}

TEST_F(ScriptLoader, EmptyDefaultPathGivesProgramFilesAndOneBackslash)
{
    Script("[Main]\r\nDefaultPath=\r\n");
    ASSERT_EQ(LoadSetupScript(), 1);
    const std::string dest = g_setup.destDir;
    ASSERT_FALSE(dest.empty());
    EXPECT_EQ(dest.back(), '\\');
    EXPECT_NE(dest.substr(0, dest.size() - 1).back(), '\\');
}

TEST_F(ScriptLoader, DiskLabelGapHidesLaterDisks)
{
    Script("[DiskLabel]\r\nDisk1=First\r\nDisk3=Third\r\n"
           "[FileCounts]\r\nDisk1=1\r\nDisk2=1\r\nDisk3=1\r\n"
           "[Disk1]\r\n1=ONE.TXT,ONE.TXT,One,RootDir\r\n"
           "[Disk2]\r\n1=TWO.TXT,TWO.TXT,Two,RootDir\r\n"
           "[Disk3]\r\n1=THREE.TXT,THREE.TXT,Three,RootDir\r\n");
    ASSERT_EQ(LoadSetupScript(), 1);
    EXPECT_EQ(g_setup.diskCount, 2);
    EXPECT_EQ(g_setup.totalFiles, 2);
    EXPECT_STREQ(Entry(0, 0).sourceName, "ONE.TXT");
    EXPECT_STREQ(Entry(1, 0).sourceName, "TWO.TXT");
    EXPECT_EQ(g_setup.diskFiles[2], g_setup.fileTableBase + 2);
    EXPECT_STREQ(g_setup.diskLabels[2], "Third");
}

TEST_F(ScriptLoader, MissingOrEmptyNumberedKeysLeaveZeroRecordsThatStillCount)
{
    Script("[DiskLabel]\r\nDisk1=A\r\nDisk2=B\r\n"
           "[FileCounts]\r\nDisk1=3\r\nDisk2=2\r\n"
           "[Disk1]\r\n1=A1.TXT,A1.TXT,,RootDir\r\n3=A3.TXT,A3.TXT,,RootDir\r\n"
           "[Disk2]\r\n1=\r\n2=B2.TXT,B2.TXT,,RootDir\r\n");
    ASSERT_EQ(LoadSetupScript(), 1);
    EXPECT_EQ(g_setup.totalFiles, 5);
    EXPECT_EQ(GlobalSize(g_setup.fileTableHandle), 5 * 176u + 600u);
    EXPECT_STREQ(Entry(0, 0).sourceName, "A1.TXT");
    EXPECT_TRUE(AllZero(Entry(0, 1)));
    EXPECT_STREQ(Entry(0, 2).sourceName, "A3.TXT");
    EXPECT_TRUE(AllZero(Entry(1, 0)));
    EXPECT_STREQ(Entry(1, 1).sourceName, "B2.TXT");
    EXPECT_EQ(g_setup.diskFiles[1], g_setup.fileTableBase + 3);
    EXPECT_EQ(g_setup.diskFiles[2], g_setup.fileTableBase + 5);
}

TEST_F(ScriptLoader, EveryDirectoryKeyDecidesTheTarget)
{
    Script("[DiskLabel]\r\nDisk1=A\r\n"
           "[DirectoryName]\r\nRootDir=.\r\nSubDir1=DRIVERS\r\nSubDir2=DRIVERS\\X\r\n"
           "SubDir3=S3\r\nSubDir4=S4\r\nSubDir5=S5\r\nSubDir6=S6\r\n"
           "WinDir=W\r\nWinSystemDir=WS\r\nWinInfDir=WI\r\n"
           "[FileCounts]\r\nDisk1=11\r\n"
           "[Disk1]\r\n"
           "1=F1,F1,d,RootDir\r\n2=F2,F2,d,subdir1\r\n3=F3,F3,d,SubDir2\r\n4=F4,F4,d,SubDir3\r\n"
           "5=F5,F5,d,SubDir4\r\n6=F6,F6,d,SubDir5\r\n7=F7,F7,d,SubDir6\r\n"
           "8=F8,F8,d,windir\r\n9=F9,F9,d,WinSystemDir\r\n10=F10,F10,d,WININFDIR\r\n"
           "11=F11,F11,d,Elsewhere\r\n");
    ASSERT_EQ(LoadSetupScript(), 1);
    const struct {
        const char* value;
        const char* target;
        int absolute;
    } expected[] = {
        {".", ".", 0}, {"DRIVERS", "DRIVERS", 0}, {"DRIVERS\\X", "DRIVERS\\X", 0},
        {"S3", "S3", 0}, {"S4", "S4", 0}, {"S5", "S5", 0}, {"S6", "S6", 0},
        {"W", "C:\\WINDOWS", 1}, {"WS", "C:\\WINDOWS\\SYSTEM", 1}, {"WI", "C:\\WINDOWS\\INF", 1},
        {"", "", 0},
    };
    for (int i = 0; i < 11; ++i) {
        EXPECT_STREQ(Entry(0, i).directoryValue, expected[i].value) << "file " << i + 1;
        EXPECT_STREQ(Entry(0, i).targetDir, expected[i].target) << "file " << i + 1;
        EXPECT_EQ(Entry(0, i).absoluteTarget, expected[i].absolute) << "file " << i + 1;
    }
    EXPECT_STREQ(g_setup.directoryNames[7], "W");
}

TEST_F(ScriptLoader, QuotedFieldsKeepTheirCommas)
{
    Script("[DiskLabel]\r\nDisk1=A\r\n[FileCounts]\r\nDisk1=1\r\n"
           "[Disk1]\r\n1= PAD.DL_ , PAD.DLL , \"Gamepad driver, part 1\" , RootDir\r\n");
    ASSERT_EQ(LoadSetupScript(), 1);
    EXPECT_STREQ(Entry(0, 0).sourceName, "PAD.DL_");
    EXPECT_STREQ(Entry(0, 0).targetName, "PAD.DLL");
    EXPECT_STREQ(Entry(0, 0).description, "Gamepad driver, part 1");
}

TEST_F(ScriptLoader, NegativeFileCountHoldsNoRecords)
{
    Script("[DiskLabel]\r\nDisk1=A\r\nDisk2=B\r\n[FileCounts]\r\nDisk1=-5\r\nDisk2=2\r\n"
           "[Disk2]\r\n1=B1,B1,,RootDir\r\n2=B2,B2,,RootDir\r\n");
    ASSERT_EQ(LoadSetupScript(), 1);
    EXPECT_EQ(g_setup.fileCounts[0], -5);
    EXPECT_EQ(g_setup.totalFiles, 2);
    EXPECT_EQ(g_setup.diskFiles[1], g_setup.fileTableBase);
    EXPECT_STREQ(Entry(1, 1).sourceName, "B2");
}

TEST_F(ScriptLoader, MoreThan32767FilesFailsTheLoad)
{
    Script("[DiskLabel]\r\nDisk1=A\r\nDisk2=B\r\n[FileCounts]\r\nDisk1=30000\r\nDisk2=30000\r\n");
    EXPECT_EQ(LoadSetupScript(), 0);
    EXPECT_EQ(g_setup.fileTableHandle, nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    return RunTestsFromFolder(kMedium, argc, argv);
}
