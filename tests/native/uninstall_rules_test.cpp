// What the uninstall makes of a record's lines about one file or value, and which of the keys
// that the setup made it may delete.
#include "uninstall/recorded_changes.h"
#include "uninstall/removal_rules.h"

#include "common/record_lines.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace record_lines;

const std::string kClassPrefix = "System\\CurrentControlSet\\Services\\Class\\";
constexpr const char* kClassKey = "MEDIA\\0001";

const char kShared[] = "C:\\WINDOWS\\SYSTEM\\SHARED.DLL";

RecordedFile FileFacts(const std::string& record)
{
    const Indexed indexed(record);
    for (std::size_t i = 0; i < indexed.index.lineCount; ++i) {
        const RecordLine line = RecordLineAt(indexed.index, indexed.lines[i]);
        if (line.kind == kRecordFile) {
            EXPECT_TRUE(IsFirstRecordLine(indexed.index, line));
            return MergeFileLines(indexed.index, line);
        }
    }
    ADD_FAILURE() << "no file line";
    return {};
}

TEST(RecordedChanges, AFileIsJudgedByItsFirstStateItsLastInstallAndItsUseCount)
{
    const std::string count = Line(kRecordCount, {kShared});
    const std::string lowered = Line(kRecordLowered, {kShared});
    const struct {
        const char* what;
        std::string lines;
        bool deletedOnceUnused;
        bool deletedWhileUsed;
        bool lowered; // an uninstall has lowered its count already
    } table[] = {
        {"ours, new in a product folder", Line(kRecordFile, {"C:\\KESTREL\\README.TXT", "o"}),
         true, true, false},
        {"an earlier copy in a product folder",
         Line(kRecordFile, {"C:\\KESTREL\\README.TXT", "eo"}), true, true, false},
        {"ours, new in SYSTEM, counted", Line(kRecordFile, {kShared, "w"}) + count, true, false,
         false},
        {"ours in SYSTEM, never counted", Line(kRecordFile, {kShared, "w"}), false, false, false},
        // A count that was there means the shared-count convention owns the file, not a person.
        {"someone else's in SYSTEM", Line(kRecordFile, {kShared, "ew"}) + count, true, false,
         false},
        {"the driver that was there", Line(kRecordFile, {kShared, "eow"}) + count, true, false,
         false},
        {"a newer one kept, there before", Line(kRecordFile, {kShared, "ewk"}) + count, true,
         false, false},
        {"ours first, then found there again: still ours",
         Line(kRecordFile, {kShared, "w"}) + count + Line(kRecordFile, {kShared, "ew"}), true,
         false, false},
        {"a newer own file kept in a product folder",
         Line(kRecordFile, {"C:\\KESTREL\\K.DLL", "eok"}), false, false, false},
        {"counted, then lowered by a stopped uninstall",
         Line(kRecordFile, {kShared, "w"}) + count + lowered, true, false, true},
        {"lowered, then counted again by a reinstall",
         Line(kRecordFile, {kShared, "w"}) + count + lowered + Line(kRecordFile, {kShared, "ew"}) +
             count,
         true, false, false},
        {"a lowering line without a count of ours",
         Line(kRecordFile, {kShared, "ew"}) + lowered, false, false, false},
    };
    for (const auto& row : table) {
        const RecordedFile file = FileFacts(Line(kRecordHeader, {"C:\\KESTREL"}) + row.lines);
        EXPECT_EQ(UninstallDeletesFile(file, true, false), row.deletedOnceUnused) << row.what;
        EXPECT_EQ(UninstallDeletesFile(file, false, false), row.deletedWhileUsed) << row.what;
        EXPECT_EQ(file.lowered, row.lowered) << row.what;
    }
}

TEST(RecordedChanges, AFileOfTheProductsThatSomeoneChangedStays)
{
    const std::string readme = "C:\\KESTREL\\README.TXT";
    const RecordedFile summed = FileFacts(Line(kRecordFile, {readme, "eo"}) +
                                          Line(kRecordFile, {readme, "eo", "1F4", "89ABCDEF"}));
    ASSERT_TRUE(summed.summed);
    EXPECT_EQ(summed.length, 500u);
    EXPECT_EQ(summed.sum, 0x89ABCDEFu);
    EXPECT_TRUE(UninstallDeletesFile(summed, false, false));
    EXPECT_FALSE(UninstallDeletesFile(summed, false, true));
    // A record of an earlier version has no sums: its files count as unchanged.
    EXPECT_FALSE(FileFacts(Line(kRecordFile, {readme, "o"})).summed);
    EXPECT_FALSE(FileFacts(Line(kRecordFile, {readme, "o", "1F4", "not hex"})).summed);
    // A file in a Windows folder follows its use count, whatever became of its bytes.
    const RecordedFile shared =
        FileFacts(Line(kRecordFile, {kShared, "w", "10", "1"}) + Line(kRecordCount, {kShared}));
    EXPECT_TRUE(UninstallDeletesFile(shared, true, true));
}

TEST(RecordedChanges, AValueKeepsItsFirstBeforeAndItsLastWritten)
{
    const Indexed indexed(ValueLine(kRecordBefore, "Version", true, 1, {'0', 0}) +
                          ValueLine(kRecordWritten, "Version", true, 1, {'1', 0}) +
                          ValueLine(kRecordBefore, "VERSION", true, 1, {'1', 0}) +
                          ValueLine(kRecordWritten, "version", true, 1, {'2', 0}) +
                          ValueLine(kRecordBefore, "Other", false, 0, {}));
    ASSERT_EQ(indexed.index.lineCount, 5u);
    const RecordedValue value =
        MergeValueLines(indexed.index, RecordLineAt(indexed.index, indexed.lines[0]));
    ASSERT_TRUE(value.hasBefore && value.hasWritten);
    std::uint8_t bytes[8];
    RecordData data{};
    ASSERT_TRUE(DecodeRecordData(value.before, bytes, sizeof bytes, data));
    EXPECT_EQ(bytes[0], '0');
    ASSERT_TRUE(DecodeRecordData(value.written, bytes, sizeof bytes, data));
    EXPECT_EQ(bytes[0], '2');
    // A setup stopped between a value's "before" and its writing leaves no "written".
    EXPECT_FALSE(
        MergeValueLines(indexed.index, RecordLineAt(indexed.index, indexed.lines[4])).hasWritten);
}

// ---- keys

// Which empty keys that the setup made the uninstall may delete, for the lines of the three
// roots.
TEST(RemovalRules, EmptyKeysGoButTopKeys)
{
    const struct {
        RegistryRoot root;
        std::string keyPath;
        bool mayGo;
    } table[] = {
        {RegistryRoot::LocalMachine, "SOFTWARE\\Kestrel\\Kestrel Gamepad", true},
        {RegistryRoot::LocalMachine, "SOFTWARE\\Kestrel", true},
        {RegistryRoot::LocalMachine, "SOFTWARE", false},
        {RegistryRoot::LocalMachine, "SOFTWARE\\", false},
        {RegistryRoot::LocalMachine, "", false},
        {RegistryRoot::LocalMachine, kClassPrefix + kClassKey + "\\Settings", true},
        {RegistryRoot::ClassesRoot, "KestrelGamepad.Profile", true},
        {RegistryRoot::ClassesRoot, ".kst\\ShellNew", true},
        {RegistryRoot::ClassesRoot, "", false},
        {RegistryRoot::None, "SOFTWARE\\Kestrel", false},
    };
    for (const auto& row : table) {
        EXPECT_EQ(MayDeleteEmptyKey(row.root, row.keyPath.c_str()), row.mayGo) << row.keyPath;
    }
}

TEST(RemovalRules, PathDepthCountsTheNamesAlongAPath)
{
    EXPECT_EQ(PathDepth("SOFTWARE\\Kestrel\\\\Kestrel Gamepad\\"), 3u);
    EXPECT_EQ(PathDepth("UTILS\\CALIB"), 2u);
    EXPECT_EQ(PathDepth(""), 0u);
}

} // namespace
