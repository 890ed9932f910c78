#include "base/failed_names.h"
#include "install/copy_progress.h"
#include "script/install_locations.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

FileEntry Entry(const char* source, const char* target, const char* dir, int absolute,
                const char* description = "")
{
    FileEntry e{};
    std::strcpy(e.sourceName, source);
    std::strcpy(e.targetName, target);
    std::strcpy(e.targetDir, dir);
    std::strcpy(e.description, description);
    e.absoluteTarget = absolute;
    return e;
}

TEST(CopyPaths, SourceLiesBesideTheProgram)
{
    char path[80];
    ASSERT_TRUE(BuildSourcePath("A:", Entry("PAD.DL_", "PAD.DLL", "", 0), path, sizeof path));
    EXPECT_STREQ(path, "A:\\PAD.DL_");
}

TEST(CopyPaths, TargetGoesBelowTheDestinationUnlessAbsolute)
{
    const struct {
        const char* what;
        FileEntry entry;
        const char* path;
    } table[] = {
        {"relative", Entry("S", "PAD.DLL", "DRIVERS", 0), "C:\\PAD\\DRIVERS\\PAD.DLL"},
        {"empty directory: two backslashes", Entry("S", "README.TXT", "", 0),
         "C:\\PAD\\\\README.TXT"},
        {"absolute", Entry("S", "PAD.VXD", "C:\\WINDOWS\\SYSTEM", 1),
         "C:\\WINDOWS\\SYSTEM\\PAD.VXD"},
    };
    for (const auto& row : table) {
        char path[80];
        ASSERT_TRUE(BuildTargetPath("C:\\PAD", row.entry, path, sizeof path)) << row.what;
        EXPECT_STREQ(path, row.path) << row.what;
    }
}

TEST(CopyPaths, PathThatDoesNotFitIsRefusedNotCut)
{
    char path[80];
    const std::string dest = "C:\\" + std::string(70, 'd');
    EXPECT_FALSE(BuildTargetPath(dest.c_str(), Entry("S", "LONGNAME.DLL", "SUB", 0), path,
                                 sizeof path));
    EXPECT_STREQ(path, "");
    const std::string exact = "C:\\" + std::string(62, 'd'); // 65 + "\SUB\" + 9 = 79
    EXPECT_TRUE(
        BuildTargetPath(exact.c_str(), Entry("S", "NAME9.DLL", "SUB", 0), path, sizeof path));
    EXPECT_EQ(std::strlen(path), 79u);
    EXPECT_FALSE(BuildSubdirectoryPath(dest.c_str(), "SUBDIRECTORY", path, sizeof path));
}

TEST(CopyPaths, RunsOfBackslashesFoldIntoOne)
{
    char path[] = "C:\\PAD\\\\README.TXT";
    CollapseBackslashes(path);
    EXPECT_STREQ(path, "C:\\PAD\\README.TXT");
    char root[] = "\\\\\\";
    CollapseBackslashes(root);
    EXPECT_STREQ(root, "\\");
}

TEST(PercentDone, FollowsTheFilesOfOneDisk)
{
    const auto sequence = [](int count) {
        std::vector<int> percents;
        for (int k = 0; k < count; ++k) {
            percents.push_back(PercentDone(k, count));
        }
        return percents;
    };
    EXPECT_EQ(sequence(1), (std::vector<int>{100}));
    EXPECT_EQ(sequence(3), (std::vector<int>{33, 66, 100}));
    EXPECT_EQ(sequence(7), (std::vector<int>{14, 28, 42, 57, 71, 85, 100}));
}

TEST(PercentDone, LargeCountsDoNotOverflow)
{
    EXPECT_EQ(PercentDone(32766, 32767), 100);
    EXPECT_EQ(PercentDone(16383, 32767), 50);
}

TEST(StatusText, NamesTheFileAndItsDescriptionOnSeparateLines)
{
    char text[kStatusTextSize];
    BuildStatusText("Copying ", Entry("PAD.DL_", "PAD.DLL", "", 0, "Gamepad driver"), text,
                    sizeof text);
    EXPECT_STREQ(text, "Copying PAD.DL_\n\nGamepad driver");
}

TEST(GaugeFill, CoversTheInsideOfTheBoxByPercent)
{
    const PixelRect control{100, 50, 245, 70}; // R - L = 145
    const PixelRect half = GaugeFill(control, 50);
    EXPECT_EQ(half.left, 101);
    EXPECT_EQ(half.right - half.left, 71);
    EXPECT_EQ(half.top, 51);
    EXPECT_EQ(half.bottom, 67);
    EXPECT_EQ(GaugeFill(control, 100).right - 101, 142);
    EXPECT_EQ(GaugeFill(control, 0).right, 101);
}

TEST(FailedNames, ListsNamesThenEndsWithEllipsisWhenFull)
{
    FailedNames failed{};
    NoteFailed(failed, "PAD.DL_");
    NoteFailed(failed, "PAD.VX_");
    EXPECT_EQ(failed.count, 2);
    EXPECT_STREQ(failed.names, "PAD.DL_, PAD.VX_");

    // Each further name takes 16 characters; room is kept for ", ..." after the last one.
    std::string expected = failed.names;
    for (int i = 10; i < 30; ++i) {
        const std::string name = "FILENAME" + std::to_string(i) + ".DL_";
        NoteFailed(failed, name.c_str());
        if (expected.size() + 2 + name.size() < sizeof failed.names - 5) {
            expected += ", " + name;
        }
    }
    EXPECT_EQ(failed.count, 22);
    EXPECT_EQ(failed.names, expected + ", ...");
    EXPECT_LT(std::strlen(failed.names), sizeof failed.names);
    NoteFailed(failed, "X");
    EXPECT_EQ(failed.names, expected + ", ...") << "a full list takes no more names";
}

} // namespace
