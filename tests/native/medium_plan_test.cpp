#include "medium/medium_plan.h"

#include "authoring/floppy.h"
#include "medium/floppy_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using medium::Packing;

// A script of one disk whose [Disk1] holds `lines` as keys 1, 2, ...; the first of them is
// line 8 of the text.
constexpr std::size_t kFirstFileLine = 8;

std::string ScriptOf(const std::vector<std::string>& lines)
{
    std::string text = "[Main]\r\nProductName=Kestrel\r\n[DiskLabel]\r\nDisk1=One\r\n"
                       "[FileCounts]\r\nDisk1=" +
                       std::to_string(lines.size()) + "\r\n[Disk1]\r\n";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += std::to_string(i + 1) + "=" + lines[i] + "\r\n";
    }
    return text;
}

medium::MediumPlan PlanOf(const std::string& text)
{
    authoring::ScriptModel model;
    authoring::LoadScriptModel(text, authoring::Assumptions{}, model);
    return medium::PlanMedium(model);
}

TEST(PlanMedium, NamesDecideBetweenCopyAndCompress)
{
    const struct {
        const char* line;
        const char* source;
        const char* target;
        Packing packing;
    } table[] = {
        {"README.TXT,README.TXT,Read me,RootDir", "README.TXT", "README.TXT", Packing::Copy},
        {"KESTREL.VX_,KESTREL.VXD,Driver,WinSystemDir", "KESTREL.VX_", "KESTREL.VXD",
         Packing::Compress},
        {"kestrel.vx_,KESTREL.VXD,Driver,WinSystemDir", "kestrel.vx_", "KESTREL.VXD",
         Packing::Compress},
        {"Readme.Txt,README.TXT,Read me,RootDir", "Readme.Txt", "README.TXT", Packing::Copy},
        {"FILE_,FILE_,Underscored,RootDir", "FILE_", "FILE_", Packing::Copy},
        {"KCAL.EX_ , KCAL.EXE , Calibration,SubDir1", "KCAL.EX_", "KCAL.EXE", Packing::Compress},
    };
    for (const auto& row : table) {
        const medium::MediumPlan plan = PlanOf(ScriptOf({row.line}));
        EXPECT_TRUE(plan.errors.empty()) << row.line;
        ASSERT_EQ(plan.files.size(), 1u) << row.line;
        EXPECT_EQ(plan.files[0].sourceName, row.source) << row.line;
        EXPECT_EQ(plan.files[0].targetName, row.target) << row.line;
        EXPECT_EQ(plan.files[0].packing, row.packing) << row.line;
        EXPECT_EQ(plan.files[0].line, kFirstFileLine) << row.line;
        EXPECT_EQ(plan.files[0].record, "[Disk1] 1") << row.line;
    }
}

TEST(PlanMedium, NamesThatDoNotPairAreErrorsOnTheirLine)
{
    const struct {
        const char* line;
        const char* message;
    } table[] = {
        {"KESTREL.VX_,KESTREL.DRV,Driver,WinSystemDir",
         "[Disk1] 2: the source \"KESTREL.VX_\" is neither the target \"KESTREL.DRV\" nor its "
         "compressed name \"KESTREL.DR_\""},
        {"KESTREL.VXD,KESTREL.DRV,Driver,WinSystemDir", "is neither the target"},
        {"KESTREL.V_,KESTREL.VXD,Driver,WinSystemDir", "is neither the target"},
        {"KESTREL.VX_", "[Disk1] 2: the source \"KESTREL.VX_\" has no target name"},
        {"..\\KCAL.EX_,KCAL.EXE,Calibration,RootDir", "\"..\\KCAL.EX_\" is not a plain file name"},
        {"KCAL.EXE,C:KCAL.EXE,Calibration,RootDir", "\"C:KCAL.EXE\" is not a plain file name"},
        {"setup.exe,SETUP.EXE,Program,RootDir", "would replace the medium's own setup.exe"},
        {"setup.inf,UNINSTAL.INF,Uninstall information,RootDir", ""}, // the script itself
        {"SETUP.EX_,SETUP.EXE,Program,RootDir", ""}, // compressed, so not the medium's own
    };
    for (const auto& row : table) {
        // A clean record first, so that the faulty one is the second key on the second line.
        const medium::MediumPlan plan =
            PlanOf(ScriptOf({"README.TXT,README.TXT,Read me,RootDir", row.line}));
        if (row.message[0] == '\0') {
            EXPECT_TRUE(plan.errors.empty()) << row.line;
            continue;
        }
        ASSERT_EQ(plan.errors.size(), 1u) << row.line;
        EXPECT_EQ(plan.errors[0].line, kFirstFileLine + 1) << row.line;
        EXPECT_NE(plan.errors[0].message.find(row.message), std::string::npos)
            << row.line << "\n" << plan.errors[0].message;
        EXPECT_EQ(plan.files.size(), 1u) << row.line;
    }
}

TEST(PlanMedium, ASourceNamedTwiceIsOneFileMadeFromOneOriginal)
{
    const medium::MediumPlan same = PlanOf(ScriptOf({"KPANEL.DL_,KPANEL.DLL,Panel,WinSystemDir",
                                                     "kpanel.dl_,kpanel.dll,Panel again,RootDir"}));
    EXPECT_TRUE(same.errors.empty());
    ASSERT_EQ(same.files.size(), 1u);
    EXPECT_EQ(same.files[0].line, kFirstFileLine);

    const medium::MediumPlan clash = PlanOf(ScriptOf({"KPANEL.DL_,KPANEL.DLL,Panel,WinSystemDir",
                                                      "KPANEL.DL_,KPANEL.DLX,Other,RootDir"}));
    ASSERT_EQ(clash.errors.size(), 1u);
    EXPECT_EQ(clash.errors[0].line, kFirstFileLine + 1);
    EXPECT_NE(clash.errors[0].message.find("is made from \"KPANEL.DLX\", but line 8 makes it from "
                                           "\"KPANEL.DLL\""),
              std::string::npos)
        << clash.errors[0].message;
}

TEST(PlanMedium, RecordsThatSetupLeavesEmptyNeedNoFile)
{
    // Key 2 is missing and key 3 is empty: SETUP.EXE copies nothing for them. Disk2 has no
    // label, so its section is never read.
    const std::string text = ScriptOf({"README.TXT,README.TXT,Read me,RootDir"}) +
                             "3=\r\n[Disk2]\r\n1=KCAL.EX_,KCAL.EXE,Calibration,RootDir\r\n";
    std::string counted = text;
    counted.replace(counted.find("Disk1=1"), 7, "Disk1=3");
    const medium::MediumPlan plan = PlanOf(counted);
    EXPECT_TRUE(plan.errors.empty());
    ASSERT_EQ(plan.files.size(), 1u);
    EXPECT_EQ(plan.files[0].sourceName, "README.TXT");
}

TEST(IsCompressedNameOf, LastCharacterReplacedByUnderscore)
{
    const struct {
        const char* source;
        const char* target;
        bool compressed;
    } table[] = {
        {"KESTREL.VX_", "KESTREL.VXD", true}, {"kestrel.vx_", "KESTREL.VXD", true},
        {"KESTREL.VXD", "KESTREL.VXD", false}, {"KESTREL.V_", "KESTREL.VXD", false},
        {"KESTRE_", "KESTREL", true},         {"KESTREL_", "KESTREL", false},
        {"_", "X", true},
        {"", "", false},                      {"KESTREL.VX_", "KESTREX.VXD", false},
    };
    for (const auto& row : table) {
        EXPECT_EQ(medium::IsCompressedNameOf(row.source, row.target), row.compressed)
            << row.source << " " << row.target;
    }
}

// A file of `size` bytes for each name of `files`, with SETUP.EXE at its largest; the records of
// ScriptOf name them as source and target.
struct SizedFile {
    std::string name;
    std::uint64_t size;
};

medium::FloppySplit SplitOf(const std::vector<SizedFile>& files, std::string* text = nullptr)
{
    std::vector<std::string> lines;
    medium::FileSizes sizes = {{"SETUP.EXE", authoring::kSetupLargestSize}};
    for (const SizedFile& file : files) {
        lines.push_back(file.name + "," + file.name + ",A file,RootDir");
        sizes[file.name] = file.size;
    }
    const std::string script = ScriptOf(lines);
    authoring::ScriptModel model;
    authoring::LoadScriptModel(script, authoring::Assumptions{}, model);
    medium::FloppySplit split;
    const std::string written = medium::SplitScript(model, sizes, split);
    if (text != nullptr) {
        *text = written;
    }
    return split;
}

constexpr std::uint64_t kNineHundredK = 900000;

TEST(SplitOverFloppies, RecordsFillEachFloppyInTheirOrder)
{
    std::vector<SizedFile> tiny;
    for (int i = 1; i <= 230; ++i) {
        tiny.push_back({"F" + std::to_string(i) + ".TXT", 1});
    }
    const struct {
        const char* what;
        std::vector<SizedFile> files;
        std::vector<int> disks;
    } table[] = {
        {"one floppy", {{"A.BIN", 1000}, {"B.BIN", 2000}}, {0, 0}},
        {"order kept, not the best fit",
         {{"A.BIN", kNineHundredK}, {"B.BIN", 100000}, {"C.BIN", kNineHundredK},
          {"D.BIN", 10000}},
         {0, 0, 1, 1}},
        // 1,420,288 bytes fit a floppy alone, not beside SETUP.EXE and the script.
        {"disk 1 holds SETUP.EXE", {{"A.BIN", 1420000}, {"B.BIN", 1000}}, {1, 1}},
        {"a file named again on a later disk",
         {{"A.BIN", kNineHundredK}, {"B.BIN", kNineHundredK}, {"A.BIN", kNineHundredK}},
         {0, 1, 2}},
        {"a file named again on its disk takes no room again",
         {{"A.BIN", kNineHundredK}, {"A.BIN", kNineHundredK}, {"B.BIN", 500000}},
         {0, 0, 0}},
    };
    for (const auto& row : table) {
        const medium::FloppySplit split = SplitOf(row.files);
        EXPECT_TRUE(split.errors.empty()) << row.what;
        EXPECT_EQ(split.diskOf, row.disks) << row.what;
        EXPECT_EQ(split.diskCount, row.disks.back() + 1) << row.what;
    }

    // The root folder's 224 entries: the label, SETUP.EXE and the script leave 221 for disk 1.
    const medium::FloppySplit names = SplitOf(tiny);
    ASSERT_EQ(names.diskOf.size(), tiny.size());
    EXPECT_EQ(names.diskOf[220], 0);
    EXPECT_EQ(names.diskOf[221], 1);
}

TEST(SplitOverFloppies, WhatNoSetOfSixFloppiesHoldsIsAnErrorOnItsLine)
{
    std::vector<SizedFile> seven;
    for (int i = 1; i <= 7; ++i) {
        seven.push_back({"F" + std::to_string(i) + ".BIN", kNineHundredK});
    }
    const struct {
        const char* what;
        std::vector<SizedFile> files;
        std::size_t line;
        std::string message;
    } table[] = {
        {"a file larger than a floppy", {{"A.BIN", 1000}, {"BIG.BIN", 1500000}},
         kFirstFileLine + 1,
         "[Disk1] 2: \"BIG.BIN\" alone takes 1500160 bytes in whole sectors, and a 1.44 MB "
         "floppy holds 1457664: 42496 bytes too many"},
        {"a seventh floppy", seven, kFirstFileLine + 6,
         "[Disk1] 7: \"F7.BIN\" would begin floppy 7, and SETUP.EXE reads at most 6 disks"},
    };
    for (const auto& row : table) {
        std::string text = "unchanged";
        const medium::FloppySplit split = SplitOf(row.files, &text);
        ASSERT_EQ(split.errors.size(), 1u) << row.what;
        EXPECT_EQ(split.errors[0].line, row.line) << row.what;
        EXPECT_EQ(split.errors[0].message, row.message) << row.what;
        EXPECT_TRUE(text.empty()) << row.what;
    }
}

TEST(SetDiskLabel, TheFirstLabelNumberedForEachDisk)
{
    const std::string label39 = std::string(39, 'K');
    const struct {
        std::string first;
        int disk;
        int count;
        std::string label;
    } table[] = {
        {"Kestrel Gamepad Disk 1", 1, 3, "Kestrel Gamepad Disk 2"},
        {"Kestrel Gamepad Disk 1", 0, 3, "Kestrel Gamepad Disk 1"},
        {"Disk1", 5, 6, "Disk6"},
        {"1", 1, 2, "2"},
        {"Kestrel Gamepad", 0, 2, "Kestrel Gamepad Disk 1"},
        {"Kestrel Gamepad", 1, 2, "Kestrel Gamepad Disk 2"},
        {"Kestrel 2001", 1, 2, "Kestrel 2001 Disk 2"}, // a number, but not the disk's
        {"Kestrel Gamepad", 0, 1, "Kestrel Gamepad"},   // one disk: the label as written
        {label39, 1, 2, std::string(32, 'K') + " Disk 2"},
        {std::string(31, 'K') + " Gamepad", 1, 2, std::string(31, 'K') + " Disk 2"},
    };
    for (const auto& row : table) {
        const std::string label = medium::SetDiskLabel(row.first, row.disk, row.count);
        EXPECT_EQ(label, row.label) << row.first << " " << row.disk;
        EXPECT_LE(label.size(), 39u) << row.first;
    }
}

TEST(SplitScriptText, DiskSectionsCountsAndLabelsGiveWayTheRestStays)
{
    const std::string script = "; Kestrel\n[Main]\nProductName=Kestrel\n\n[DiskLabel]\n"
                               "Disk1=Kestrel Disk 1\n\n[FileCounts]\nDisk1=3\n\n[Disk1]\n"
                               "; the driver first\n1=A.BIN,A.BIN,\"One, first\",RootDir\n"
                               "2=B.BIN,B.BIN,Two,RootDir\n3=C.BIN,C.BIN,Three,RootDir\n\n"
                               "[Disk2]\n1=OLD.BIN,OLD.BIN,Never read,RootDir\n\n"
                               "[REGISTRY_BEGIN]\nHKLM,SOFTWARE\\Kestrel,Version,,1\n"
                               "[REGISTRY_END]\n";
    authoring::ScriptModel model;
    authoring::LoadScriptModel(script, authoring::Assumptions{}, model);
    const medium::FloppySplit split = medium::SplitOverFloppies(
        model, {{"A.BIN", kNineHundredK}, {"B.BIN", kNineHundredK}, {"C.BIN", 10}},
        script.size());
    ASSERT_TRUE(split.errors.empty());
    EXPECT_EQ(medium::SplitScriptText(model, split),
              "; Kestrel\n[Main]\nProductName=Kestrel\n\n"
              "[DiskLabel]\nDisk1=Kestrel Disk 1\nDisk2=Kestrel Disk 2\n\n"
              "[FileCounts]\nDisk1=1\nDisk2=2\n\n"
              "[Disk1]\n1=A.BIN,A.BIN,\"One, first\",RootDir\n\n"
              "[Disk2]\n1=B.BIN,B.BIN,Two,RootDir\n2=C.BIN,C.BIN,Three,RootDir\n"
              "; the driver first\n\n\n"
              "[REGISTRY_BEGIN]\nHKLM,SOFTWARE\\Kestrel,Version,,1\n[REGISTRY_END]\n");
}

} // namespace
