#include "script/script_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char* const kKeys[kDirectoryKeyCount] = {
    "RootDir", "SubDir1", "SubDir2", "SubDir3", "SubDir4",
    "SubDir5", "SubDir6", "WinDir", "WinSystemDir", "WinInfDir"};

TEST(TrimToDirectory, CutsAtLastBackslash)
{
    char path[80] = "C:\\DISK\\SETUP\\SETUP.EXE";
    TrimToDirectory(path);
    EXPECT_STREQ(path, "C:\\DISK\\SETUP");
}

TEST(TrimToDirectory, RootOfDriveLeavesDriveOnly)
{
    char path[80] = "A:\\SETUP.EXE";
    TrimToDirectory(path);
    EXPECT_STREQ(path, "A:");
    char script[80];
    ASSERT_TRUE(BuildScriptPath(path, script, sizeof script));
    EXPECT_STREQ(script, "A:\\SETUP.INF");
}

TEST(TrimToDirectory, FirstCharacterIsNeverTheCut)
{
    char path[80] = "\\SETUP.EXE";
    TrimToDirectory(path);
    EXPECT_STREQ(path, "\\SETUP.EXE");
}

TEST(BuildScriptPath, DirectoryOf69CharactersFitsAndSeventyDoesNot)
{
    char script[80];
    EXPECT_TRUE(BuildScriptPath(std::string(69, 'd').c_str(), script, sizeof script));
    EXPECT_EQ(std::strlen(script), 79u);
    EXPECT_FALSE(BuildScriptPath(std::string(70, 'd').c_str(), script, sizeof script));
    EXPECT_STREQ(script, "");
}

struct DestinationCase {
    const char* defaultPath;
    const char* windowsDir;
    const char* expected;
};

class DefaultDestination : public ::testing::TestWithParam<DestinationCase> {};

TEST_P(DefaultDestination, FollowsWindowsDriveOrProgramFiles)
{
    const DestinationCase& c = GetParam();
    char dest[80];
    BuildDefaultDestination(c.defaultPath, c.windowsDir, "C:\\Program Files", dest, sizeof dest);
    EXPECT_STREQ(dest, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, DefaultDestination, ::testing::Values(
    DestinationCase{"C:\\TIRVO", "D:\\WINDOWS", "D:\\TIRVO"},
    DestinationCase{"E:\\GAMES\\PAD", "C:\\WINDOWS", "C:\\GAMES\\PAD"},
    DestinationCase{"TIRVO", "C:\\WINDOWS", "C:\\Program Files\\TIRVO"},
    DestinationCase{"\\TIRVO", "C:\\WINDOWS", "C:\\Program Files\\TIRVO"},
    DestinationCase{"", "C:\\WINDOWS", "C:\\Program Files\\"},
    DestinationCase{"D:", "C:\\WINDOWS", "C:\\Program Files\\D:"},
    DestinationCase{"X:Y", "C:\\WINDOWS", "C:Y"}));

TEST(DefaultDestination, LongJoinIsCutToItsSlot)
{
    char dest[80];
    BuildDefaultDestination(std::string(79, 'p').c_str(), "C:\\WINDOWS", "C:\\Program Files",
                            dest, sizeof dest);
    EXPECT_EQ(std::strlen(dest), 79u);
    EXPECT_EQ(std::string(dest).substr(0, 17), "C:\\Program Files\\");
}

TEST(MatchDirectoryKey, IgnoresCaseAndRejectsOthers)
{
    EXPECT_EQ(MatchDirectoryKey("windir", kKeys), 7);
    EXPECT_EQ(MatchDirectoryKey("ROOTDIR", kKeys), 0);
    EXPECT_EQ(MatchDirectoryKey("SubDir6", kKeys), 6);
    EXPECT_EQ(MatchDirectoryKey("WinInfDir", kKeys), 9);
    EXPECT_EQ(MatchDirectoryKey("", kKeys), -1);
    EXPECT_EQ(MatchDirectoryKey("SubDir7", kKeys), -1);
    EXPECT_EQ(MatchDirectoryKey("WinDir ", kKeys), -1);
}

class FileLine : public ::testing::Test {
protected:
    char names[kDirectoryKeyCount][kPathSize] = {};
    FileEntry entry = {};

    void SetUp() override
    {
        std::strcpy(names[0], "ROOT");
        std::strcpy(names[1], "DRIVERS");
        std::strcpy(names[7], "ignored-win");
        std::strcpy(names[8], "ignored-sys");
    }
};

TEST_F(FileLine, RelativeKeyTakesDirectoryName)
{
    FillFileEntry("PAD.DL_, PAD.DLL, \"Driver, 32-bit\", SubDir1", kKeys, names, "C:\\WINDOWS",
                  entry);
    EXPECT_STREQ(entry.sourceName, "PAD.DL_");
    EXPECT_STREQ(entry.targetName, "PAD.DLL");
    EXPECT_STREQ(entry.description, "Driver, 32-bit");
    EXPECT_STREQ(entry.directoryValue, "DRIVERS");
    EXPECT_STREQ(entry.targetDir, "DRIVERS");
    EXPECT_EQ(entry.absoluteTarget, 0);
}

TEST_F(FileLine, WindowsKeysAreAbsolute)
{
    FillFileEntry("A,B,C,winsystemdir", kKeys, names, "C:\\WINDOWS", entry);
    EXPECT_STREQ(entry.targetDir, "C:\\WINDOWS\\SYSTEM");
    EXPECT_STREQ(entry.directoryValue, "ignored-sys");
    EXPECT_EQ(entry.absoluteTarget, 1);

    FileEntry inf = {};
    FillFileEntry("A,B,C,WinInfDir", kKeys, names, "D:\\WIN", inf);
    EXPECT_STREQ(inf.targetDir, "D:\\WIN\\INF");
    EXPECT_EQ(inf.absoluteTarget, 1);

    FileEntry win = {};
    FillFileEntry("A,B,C,WinDir", kKeys, names, "D:\\WIN", win);
    EXPECT_STREQ(win.targetDir, "D:\\WIN");
    EXPECT_STREQ(win.directoryValue, "ignored-win");
}

TEST_F(FileLine, UnknownKeyOrMissingFieldsLeaveTargetEmpty)
{
    FillFileEntry("ONLY.TXT", kKeys, names, "C:\\WINDOWS", entry);
    EXPECT_STREQ(entry.sourceName, "ONLY.TXT");
    EXPECT_STREQ(entry.targetName, "");
    EXPECT_STREQ(entry.targetDir, "");
    EXPECT_STREQ(entry.directoryValue, "");
    EXPECT_EQ(entry.absoluteTarget, 0);

    FileEntry other = {};
    FillFileEntry("A,B,C,SYSTEM32", kKeys, names, "C:\\WINDOWS", other);
    EXPECT_STREQ(other.targetDir, "");
}

TEST_F(FileLine, LongFieldsAreCutToTheirSlots)
{
    const std::string line = std::string(20, 's') + "," + std::string(20, 't') + "," +
                             std::string(100, 'd') + ",RootDir";
    std::memset(names[0], 'r', 79);
    names[0][79] = '\0';
    FillFileEntry(line.c_str(), kKeys, names, "C:\\WINDOWS", entry);
    EXPECT_EQ(std::string(entry.sourceName), std::string(14, 's'));
    EXPECT_EQ(std::string(entry.targetName), std::string(14, 't'));
    EXPECT_EQ(std::string(entry.description), std::string(61, 'd'));
    EXPECT_EQ(std::string(entry.targetDir), std::string(39, 'r'));
    EXPECT_EQ(entry.absoluteTarget, 0);
}

TEST(CountDisks, CountsEveryNonEmptyLabel)
{
    char labels[kMaxDisks][kDiskLabelSize] = {"Disk one", "", "Disk three"};
    EXPECT_EQ(CountDisks(labels), 2);
}

TEST(TotalFiles, CountsOnlyPositiveCountsOfTheUsedDisks)
{
    const short counts[kDiskSlots] = {3, -5, 0, 4, 100};
    EXPECT_EQ(TotalFiles(counts, 4), 7);
}

TEST(TotalFiles, RejectsMoreThan32767Files)
{
    const short counts[kDiskSlots] = {30000, 2767};
    EXPECT_EQ(TotalFiles(counts, 2), 32767);
    const short tooMany[kDiskSlots] = {30000, 30000};
    EXPECT_EQ(TotalFiles(tooMany, 2), -1);
}

} // namespace
