#include "script/script_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

namespace {

const char* const kKeys[kDirectoryKeyCount] = {
    "RootDir", "SubDir1", "SubDir2", "SubDir3", "SubDir4",
    "SubDir5", "SubDir6", "WinDir", "WinSystemDir", "WinInfDir"};

TEST(TrimToDirectory, CutsAtTheLastBackslashButNeverTheFirstCharacter)
{
    const struct {
        const char* path;
        const char* directory;
    } table[] = {
        {"C:\\DISK\\SETUP\\SETUP.EXE", "C:\\DISK\\SETUP"},
        {"A:\\SETUP.EXE", "A:"}, // the root of a drive leaves the drive only
        {"\\SETUP.EXE", "\\SETUP.EXE"},
    };
    for (const auto& row : table) {
        char path[80];
        std::strcpy(path, row.path);
        TrimToDirectory(path);
        EXPECT_STREQ(path, row.directory) << row.path;
    }
}

TEST(BuildScriptPath, DirectoryOf69CharactersFitsAndSeventyDoesNot)
{
    char script[80];
    ASSERT_TRUE(BuildScriptPath("A:", script, sizeof script));
    EXPECT_STREQ(script, "A:\\SETUP.INF");
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

// A file record's text fields and its absolute flag, compared as a whole.
struct Filled {
    std::string source, target, description, directoryValue, targetDir;
    int absolute;
    bool operator==(const Filled&) const = default;
};

void PrintTo(const Filled& f, std::ostream* os)
{
    *os << '"' << f.source << "\" \"" << f.target << "\" \"" << f.description << "\" value \""
        << f.directoryValue << "\" dir \"" << f.targetDir << "\" absolute " << f.absolute;
}

class FileLine : public ::testing::Test {
protected:
    char names[kDirectoryKeyCount][kPathSize] = {"ROOT", "DRIVERS", "", "", "", "", "",
                                                 "ignored-win", "ignored-sys"};

    Filled Fill(const char* line, const char* windowsDir = "C:\\WINDOWS")
    {
        FileEntry e = {};
        FillFileEntry(line, kKeys, names, windowsDir, e);
        return {e.sourceName, e.targetName, e.description, e.directoryValue, e.targetDir,
                e.absoluteTarget};
    }
};

TEST_F(FileLine, RelativeKeyTakesDirectoryName)
{
    EXPECT_EQ(Fill("PAD.DL_, PAD.DLL, \"Driver, 32-bit\", SubDir1"),
              (Filled{"PAD.DL_", "PAD.DLL", "Driver, 32-bit", "DRIVERS", "DRIVERS", 0}));
}

TEST_F(FileLine, WindowsKeysAreAbsolute)
{
    EXPECT_EQ(Fill("A,B,C,winsystemdir"),
              (Filled{"A", "B", "C", "ignored-sys", "C:\\WINDOWS\\SYSTEM", 1}));
    EXPECT_EQ(Fill("A,B,C,WinInfDir", "D:\\WIN"), (Filled{"A", "B", "C", "", "D:\\WIN\\INF", 1}));
    EXPECT_EQ(Fill("A,B,C,WinDir", "D:\\WIN"),
              (Filled{"A", "B", "C", "ignored-win", "D:\\WIN", 1}));
}

TEST_F(FileLine, UnknownKeyOrMissingFieldsLeaveTargetEmpty)
{
    EXPECT_EQ(Fill("ONLY.TXT"), (Filled{"ONLY.TXT", "", "", "", "", 0}));
    EXPECT_EQ(Fill("A,B,C,SYSTEM32"), (Filled{"A", "B", "C", "", "", 0}));
}

TEST_F(FileLine, LongFieldsAreCutToTheirSlots)
{
    const std::string line = std::string(20, 's') + "," + std::string(20, 't') + "," +
                             std::string(100, 'd') + ",RootDir";
    std::memset(names[0], 'r', 79);
    names[0][79] = '\0';
    EXPECT_EQ(Fill(line.c_str()), (Filled{std::string(14, 's'), std::string(14, 't'),
                                          std::string(61, 'd'), std::string(39, 'r'),
                                          std::string(39, 'r'), 0}));
}

TEST(CountDisks, CountsEveryNonEmptyLabel)
{
    char labels[kMaxDisks][kDiskLabelSize] = {"Disk one", "", "Disk three"};
    EXPECT_EQ(CountDisks(labels), 2);
}

TEST(NumberedKey, IsTheNumberInDecimalWithoutLeadingZeros)
{
    const struct {
        int number;
        const char* key;
    } table[] = {{1, "1"}, {9, "9"}, {10, "10"}, {100, "100"}, {4096, "4096"}, {32767, "32767"}};
    for (const auto& row : table) {
        char key[kNumberedKeySize];
        std::memset(key, 'x', sizeof key);
        NumberedKey(row.number, key);
        EXPECT_STREQ(key, row.key);
    }
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

TEST(StaysInsideFolder, RefusesEveryWayOutAndKeepsNestedNames)
{
    const struct {
        const char* name;
        bool inside;
    } table[] = {
        {"", true},
        {"UTILS", true},
        {"UTILS\\CALIB", true},
        {"KESTREL.VXD", true},
        {"DOCS.", true},
        {"MY DOCS\\V1.2", true},
        {"UTILS\\", true},
        {"..", false},
        {".", false},
        {"..\\WINDOWS", false},
        {"..\\..", false},
        {"UTILS\\..\\..\\X", false},
        {"UTILS\\.", false},
        {"...", false},
        {". .", false},
        {"UTILS\\ \\X", false},
        {"\\WINDOWS", false},
        {"\\\\SERVER\\SHARE", false},
        {"C:\\WINDOWS", false},
        {"C:WIN.INI", false},
        {"UTILS/CALIB", false},
        {"../EVIL.TXT", false},
    };
    for (const auto& row : table) {
        EXPECT_EQ(StaysInsideFolder(row.name), row.inside) << '"' << row.name << '"';
    }
}

} // namespace
