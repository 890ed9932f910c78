#include "medium/medium_plan.h"

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

} // namespace
