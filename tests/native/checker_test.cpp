#include "checker/checker.h"
#include "checker/command.h"
#include "command_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using checker::CheckOptions;
using checker::CheckReport;
using checker::Diagnostic;

// A clean script; the fault cases below replace one of its lines (numbered from 1).
const std::vector<std::string> kCleanLines = {
    "[Main]",                                                       // 1
    "ProductName=Kestrel Gamepad",                                  // 2
    "DefaultPath=C:\\KESTREL",                                      // 3
    "DriverName=KESTREL.VXD",                                       // 4
    "OEMData1=0",                                                   // 5
    "OEMData2=4",                                                   // 6
    "MinimumSpace=512",                                             // 7
    "[DiskLabel]",                                                  // 8
    "Disk1=Disk one",                                               // 9
    "Disk2=Disk two",                                               // 10
    "[DirectoryName]",                                              // 11
    "RootDir=",                                                     // 12
    "SubDir1=UTILS",                                                // 13
    "SubDir2=UTILS\\CALIB",                                         // 14
    "[FileCounts]",                                                 // 15
    "Disk1=2",                                                      // 16
    "Disk2=1",                                                      // 17
    "[Disk1]",                                                      // 18
    "1=README.TXT,README.TXT,Read me first,RootDir",                // 19
    "2=KESTREL.VX_,KESTREL.VXD,Gamepad driver,WinSystemDir",        // 20
    "[Disk2]",                                                      // 21
    "1=KCAL.EX_,KCAL.EXE,Calibration utility,SubDir2",              // 22
    "[REGISTRY_BEGIN]",                                             // 23
    "HKLM,SOFTWARE\\Kestrel\\%s,Version,,1.20",                     // 24
    "HKLM,SOFTWARE\\Kestrel\\%s,Buttons,1,0a,00",                   // 25
    "[REGISTRY_END]",                                               // 26
};

std::string Join(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

// The clean script with some of its lines (numbered from 1) replaced.
std::string CleanWith(std::initializer_list<std::pair<std::size_t, std::string>> replaced)
{
    std::vector<std::string> lines = kCleanLines;
    for (const auto& [line, text] : replaced) {
        lines.at(line - 1) = text;
    }
    return Join(lines);
}

std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

// An SZDD file whose LZSS data holds eight literal bytes, as its header says.
std::vector<std::uint8_t> Compressed()
{
    std::vector<std::uint8_t> bytes = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', 'E',
                                       8,   0,   0,   0,   0xFF};
    for (char c : std::string("ABCDEFGH")) {
        bytes.push_back(static_cast<std::uint8_t>(c));
    }
    return bytes;
}

// The files of the medium, looked up without regard to case as the checker's folder reader does.
std::map<std::string, std::vector<std::uint8_t>> MediumFiles()
{
    return {
        {"README.TXT", Bytes("Read me first, then install.\r\n")},
        {"KESTREL.VX_", Compressed()},
        {"KCAL.EX_", Compressed()},
        {"LONGNAME1.TXT", Bytes("a plain file with a long name\r\n")},
        {"CUT.EX_", {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A'}},
    };
}

CheckOptions MediumOptions()
{
    CheckOptions options;
    options.medium.layout = checker::MediumLayout::Medium;
    options.medium.folder = "medium";
    options.medium.read = [](const std::string& name)
        -> std::optional<std::vector<std::uint8_t>> {
        for (const auto& [file, bytes] : MediumFiles()) {
            if (checker::EqualsNoCase(file, name)) {
                return bytes;
            }
        }
        return std::nullopt;
    };
    return options;
}

CheckReport Check(const std::string& text)
{
    return checker::CheckScript(text, MediumOptions());
}

std::string Describe(const CheckReport& report)
{
    std::string all;
    for (const Diagnostic& d : report.diagnostics) {
        all += "  " + std::to_string(d.line) + ": " + d.message + "\n";
    }
    return all;
}

bool HasWarning(const CheckReport& report, std::size_t line, const std::string& part)
{
    for (const Diagnostic& d : report.diagnostics) {
        if (d.line == line && d.message.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(CheckScript, CleanScriptGivesNoWarning)
{
    const CheckReport report = Check(Join(kCleanLines));
    EXPECT_TRUE(report.diagnostics.empty()) << Describe(report);
    EXPECT_EQ(report.diskCount, 2);
    EXPECT_EQ(report.fileCount, 3);
    EXPECT_EQ(checker::ExitStatusOf(report), checker::kExitClean);
}

struct FaultCase {
    const char* name;
    std::size_t replaceLine;  // the line of kCleanLines to replace
    std::string replacement;  // may hold "\r\n" to become several lines
    std::size_t expectedLine; // where the warning must be tied
    std::string expectedText; // part of its message
};

std::ostream& operator<<(std::ostream& os, const FaultCase& c)
{
    return os << c.name;
}

class ScriptFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ScriptFault, IsReportedOnItsLine)
{
    const FaultCase& c = GetParam();
    const CheckReport report = Check(CleanWith({{c.replaceLine, c.replacement}}));
    EXPECT_TRUE(HasWarning(report, c.expectedLine, c.expectedText))
        << "wanted on line " << c.expectedLine << ": " << c.expectedText << "\ngot:\n"
        << Describe(report);
    EXPECT_EQ(checker::ExitStatusOf(report), checker::kExitWarnings);
}

const std::string k40(40, 'P');
const std::string k45(45, 'L');
const std::string k85(85, 'S');

const std::string kDriver25(25, 'D');
const std::string kDescription70(70, 'd');

const FaultCase kFaults[] = {
    // Values cut to their slots, with the slot's limit.
    {"ProductNameCut", 2, "ProductName=" + k40, 2, "has 40 characters; SETUP.EXE keeps 31"},
    {"DriverNameCut", 4, "DriverName=" + kDriver25, 4,
     "[Main] DriverName \"" + kDriver25 + "\" has 25 characters; SETUP.EXE keeps 19"},
    {"DiskLabelCut", 9, "Disk1=" + k45, 9,
     "[DiskLabel] Disk1 \"" + k45 + "\" has 45 characters; SETUP.EXE keeps 39"},
    {"DirectoryValueCutByReader", 13, "SubDir1=" + k85, 13,
     "[DirectoryName] SubDir1 \"" + k85 + "\" has 85 characters; SETUP.EXE keeps 79"},
    {"DirectoryValueCutInFileRecord", 13, "SubDir1=" + k45, 13,
     "has 45 characters; each file record keeps 39"},
    {"SourceNameCut", 19, "1=ABCDEFGHIJKLMNOP.TXT,README.TXT,Read me,RootDir", 19,
     "[Disk1] 1: source name \"ABCDEFGHIJKLMNOP.TXT\" has 20 characters; SETUP.EXE keeps 14"},
    {"TargetNameCut", 19, "1=README.TXT,README-FIRST.TEXT,Read me,RootDir", 19,
     "target name \"README-FIRST.TEXT\" has 17 characters; SETUP.EXE keeps 14"},
    {"DescriptionCut", 19, "1=README.TXT,README.TXT," + kDescription70 + ",RootDir", 19,
     "description \"" + kDescription70 + "\" has 70 characters; SETUP.EXE keeps 61"},
    {"FileLineCut", 19, "1=README.TXT,README.TXT," + std::string(110, 'd') + ",RootDir", 19,
     "the file line has 140 characters; SETUP.EXE reads 127"},
    {"DefaultPathCut", 3, "DefaultPath=C:\\" + k85, 3,
     "[Main] DefaultPath \"C:\\" + k85 + "\" has 88 characters; SETUP.EXE keeps 79"},
    // The default destination.
    {"DefaultPathMovedToWindowsDrive", 3, "DefaultPath=D:\\KESTREL", 3,
     "is moved to the drive that holds Windows: with Windows in C:\\WINDOWS the destination is "
     "\"C:\\KESTREL\""},
    {"DefaultPathJoinedToProgramFiles", 3, "DefaultPath=KESTREL", 3,
     "has no drive: SETUP.EXE places it below the Program Files directory "
     "(\"C:\\Program Files\\KESTREL\")"},
    {"DefaultPathDriveAlone", 3, "DefaultPath=D:", 3,
     "is a drive alone: SETUP.EXE joins it to the Program Files directory"},
    {"MinimumSpaceAbove32767", 7, "MinimumSpace=40000", 7,
     "[Main] MinimumSpace 40000 is kept in 16 bits as -25536"},
    // Disks and file counts.
    {"DiskLabelGap", 10, "Disk3=Disk three", 10, "[DiskLabel] Disk3 comes after the empty Disk2"},
    {"NumberedKeyMissing", 16, "Disk1=3", 18,
     "[Disk1] has no key 3, although [FileCounts] Disk1 is 3"},
    {"NumberedKeyEmpty", 20, "2=", 20,
     "[Disk1] 2: the file line is empty: SETUP.EXE keeps an empty file record"},
    {"MoreKeysThanCount", 16, "Disk1=1", 20,
     "[Disk1] 2 is beyond [FileCounts] Disk1 is 1: SETUP.EXE never reads it"},
    {"CountMissing", 17, "", 15, "[FileCounts] Disk2 is not set"},
    // Directories.
    {"UnknownDirectoryKey", 19, "1=README.TXT,README.TXT,Read me,BogusDir", 19,
     "directory key \"BogusDir\" is none of RootDir, SubDir1 to SubDir6"},
    {"SubDirWithoutParent", 14, "SubDir2=TOOLS\\CALIB", 14,
     "needs the folder \"TOOLS\", which no earlier SubDir makes"},
    {"SubDirParentMadeLater", 13, "SubDir1=UTILS\\CALIB\\DEEP", 13,
     "needs the folder \"UTILS\", which no earlier SubDir makes"},
    {"SubDirLeadsOut", 13, "SubDir1=..\\WINDOWS", 13,
     "SubDir1 \"..\\WINDOWS\" leads out of the destination directory: SETUP.EXE refuses it, "
     "makes no folder for it and reports the files aimed at it as not copied"},
    {"RootDirFromTheDrive", 12, "RootDir=\\", 12, "RootDir \"\\\" leads out of the destination"},
    {"TargetNameLeadsOut", 19, "1=README.TXT,..\\EVIL.TXT,Read me,RootDir", 19,
     "target name \"..\\EVIL.TXT\" leads out of its folder: SETUP.EXE refuses it"},
    {"SourceNameLeadsOut", 19, "1=..\\README.TXT,README.TXT,Read me,RootDir", 19,
     "source name \"..\\README.TXT\" leads out of the medium's folder"},
    {"TargetNameEmpty", 19, "1=README.TXT,,Read me,RootDir", 19,
     "the target name is empty: SETUP.EXE reports the file as not copied"},
    {"UninstallerWithoutItsScript", 22, "1=UNINSTAL.EX_,UNINSTAL.EXE,Uninstall program,RootDir",
     22, "installs UNINSTAL.EXE without UNINSTAL.INF beside it"},
    // The medium.
    {"FileMissingFromMedium", 19, "1=NOFILE.TXT,README.TXT,Read me,RootDir", 19,
     "[Disk1] 1: \"NOFILE.TXT\" is not on the medium (medium)"},
    {"CompressedSizeUnreadable", 19, "1=CUT.EX_,CUT.EXE,Cut short,RootDir", 19,
     "its expanded size cannot be read"},
    {"SourceNotEightDotThree", 19, "1=LONGNAME1.TXT,README.TXT,Read me,RootDir", 19,
     "source name \"LONGNAME1.TXT\" is not an 8.3 name"},
    // The registry section.
    {"RootHkcr", 24, "HKCR,SOFTWARE\\Kestrel,Version,,1.20", 24,
     "root \"HKCR\" is not one of HKR, HKLM, HKEY_CLASSES_ROOT (write \"HKEY_CLASSES_ROOT\", in "
     "capitals)"},
    {"RootHkeyLocalMachine", 24, "HKEY_LOCAL_MACHINE,SOFTWARE\\Kestrel,Version,,1", 24,
     "(write \"HKLM\", in capitals); the line writes nothing"},
    {"RootUnknown", 24, "HKXX,SOFTWARE\\Kestrel,Version,,1.20", 24,
     "root \"HKXX\" is not one of HKR, HKLM, HKEY_CLASSES_ROOT; the line writes nothing"},
    {"EndMarkerInLowerCase", 26, "[registry_end]", 26, "\"[registry_end]\" is no marker"},
    {"BeginMarkerWithBlank", 23, "[REGISTRY_BEGIN] ", 23, "\"[REGISTRY_BEGIN] \" is no marker"},
    {"RegistryLineOver255", 24, "HKLM,SOFTWARE\\Kestrel,Version,," + std::string(240, 'v'), 24,
     "registry line: the line has 271 characters, more than 255; SETUP.EXE passes it over"},
    {"RegistryFieldOver127", 24, "HKLM,SOFTWARE\\Kestrel," + std::string(130, 'n') + ",,1.20",
     24, "the value name has 130 characters, more than 127"},
    {"BinaryFieldNotHex", 25, "HKLM,SOFTWARE\\Kestrel,Buttons,1,0a,zz", 25,
     "byte \"zz\" (field 6) is not hexadecimal; SETUP.EXE reads it as 0x53"},
    {"BinaryFieldsAfterAnEmptyOne", 25, "HKLM,SOFTWARE\\Kestrel,Buttons,1,0a,,01,02", 25,
     "field 6 is empty, which ends the binary value; \"01,02\" after it is ignored"},
    {"StringValueWithMoreFields", 24, "HKLM,SOFTWARE\\Kestrel,Version,,1,20", 24,
     "a string value takes only field 5; \"20\" after it is ignored"},
    {"SectionNeverClosed", 26, "", 23,
     "\"[REGISTRY_BEGIN]\" is never closed by \"[REGISTRY_END]\""},
};

INSTANTIATE_TEST_SUITE_P(
    CheckerFaults, ScriptFault, ::testing::ValuesIn(kFaults),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

TEST(CheckScript, ScriptOf32768BytesIsReportedWhereItCrossesTheLimit)
{
    std::vector<std::string> lines = kCleanLines;
    std::size_t size = Join(lines).size();
    // Comment lines of 100 bytes each (98 and CR LF) after the script.
    while (size < 32768) {
        lines.push_back(";" + std::string(97, 'c'));
        size += 100;
    }
    const std::string text = Join(lines);
    std::size_t crossing = 1;
    for (std::size_t i = 0; i < 32767; ++i) {
        crossing += text[i] == '\n' ? 1 : 0;
    }
    const CheckReport report = Check(text);
    EXPECT_TRUE(HasWarning(report, crossing, "the script reaches 32768 bytes on this line"))
        << Describe(report);
}

TEST(CheckScript, ScriptOf32767BytesIsNotTooLarge)
{
    std::vector<std::string> lines = kCleanLines;
    std::size_t size = Join(lines).size();
    lines.push_back(";" + std::string(32767 - size - 3, 'c'));
    const std::string text = Join(lines);
    ASSERT_EQ(text.size(), 32767u);
    const CheckReport report = Check(text);
    EXPECT_TRUE(report.diagnostics.empty()) << Describe(report);
}

TEST(CheckScript, WarningsAreOrderedByLine)
{
    const CheckReport report =
        Check(CleanWith({{24, "HKCR,SOFTWARE\\Kestrel,Version,,1.20"}, {2, "ProductName=" + k40}}));
    ASSERT_GE(report.diagnostics.size(), 2u);
    for (std::size_t i = 1; i < report.diagnostics.size(); ++i) {
        EXPECT_LE(report.diagnostics[i - 1].line, report.diagnostics[i].line);
    }
}

TEST(CheckScript, LoneLineFeedsAndCarriageReturnsCountLinesAlike)
{
    std::string text;
    for (const std::string& line : kCleanLines) {
        text += line + "\n";
    }
    text.replace(text.find("MinimumSpace=512"), 16, "MinimumSpace=40000");
    EXPECT_TRUE(HasWarning(Check(text), 7, "kept in 16 bits"));
    for (char& c : text) {
        c = c == '\n' ? '\r' : c;
    }
    EXPECT_TRUE(HasWarning(Check(text), 7, "kept in 16 bits"));
}

TEST(CheckScript, NoMediumCheckWithoutAMedium)
{
    const CheckReport report = checker::CheckScript(
        CleanWith({{19, "1=NOFILE.TXT,README.TXT,Read me first,RootDir"}}), CheckOptions{});
    EXPECT_TRUE(report.diagnostics.empty()) << Describe(report);
}

TEST(FormatDiagnostic, GivesFileLineAndMessage)
{
    EXPECT_EQ(checker::FormatDiagnostic("A:\\SETUP.INF", Diagnostic{12, "text"}),
              "A:\\SETUP.INF:12: text");
    EXPECT_EQ(checker::FormatDiagnostic("SETUP.INF", Diagnostic{0, "whole"}), "SETUP.INF: whole");
}

TEST(Quoted, ShowsControlCharactersByCode)
{
    EXPECT_EQ(checker::Quoted("a\tb"), "\"a\\x09b\"");
}

// The command line, run with its output caught in temporary files.
class CheckCommand : public CommandTest {
protected:
    int Run(std::vector<std::string> args)
    {
        return RunCommand(checker::RunCheckCommand, "setup-inf-check", std::move(args));
    }
};

TEST_F(CheckCommand, SampleMediumIsCleanWithExitZero)
{
    EXPECT_EQ(Run({"--originals", SampleOriginals(), SETUP_SOURCE_DIR "/sample/SETUP.INF"}),
              checker::kExitClean)
        << out_ << err_;
    EXPECT_NE(out_.find("no warnings (2 disks, 9 file records)"), std::string::npos) << out_;
}

TEST_F(CheckCommand, WarningsGiveExitOneWithFileAndLine)
{
    const std::string script = Write("SETUP.INF", CleanWith({{7, "MinimumSpace=40000"}}));
    EXPECT_EQ(Run({script}), checker::kExitWarnings);
    EXPECT_NE(out_.find(script + ":7: [Main] MinimumSpace 40000 is kept in 16 bits as -25536"),
              std::string::npos)
        << out_;
    EXPECT_NE(out_.find(script + ": 1 warning\n"), std::string::npos) << out_;
}

TEST_F(CheckCommand, MissingScriptGivesExitTwo)
{
    EXPECT_EQ(Run({(folder_ / "NOSUCH.INF").string()}), checker::kExitUnreadable);
    EXPECT_NE(err_.find("the script cannot be read"), std::string::npos) << err_;
    EXPECT_TRUE(out_.empty());
}

TEST_F(CheckCommand, FolderWithoutScriptGivesExitTwo)
{
    EXPECT_EQ(Run({folder_.string()}), checker::kExitUnreadable);
    EXPECT_NE(err_.find("the folder holds no SETUP.INF"), std::string::npos) << err_;
}

TEST_F(CheckCommand, FolderIsCheckedAsAMedium)
{
    Write("setup.inf", CleanWith({{19, "1=NOFILE.TXT,README.TXT,Read me first,RootDir"}}));
    const std::vector<std::uint8_t> compressed = Compressed();
    Write("KESTREL.VX_", std::string(compressed.begin(), compressed.end()));
    Write("KCAL.EX_", std::string(compressed.begin(), compressed.end()));
    EXPECT_EQ(Run({folder_.string()}), checker::kExitWarnings);
    EXPECT_NE(out_.find(":19: [Disk1] 1: \"NOFILE.TXT\" is not on the medium"), std::string::npos)
        << out_;
}

TEST_F(CheckCommand, BadUsageGivesExitTwo)
{
    EXPECT_EQ(Run({}), checker::kExitUnreadable);
    EXPECT_NE(err_.find("no script given"), std::string::npos);
    EXPECT_EQ(Run({"--bogus", "SETUP.INF"}), checker::kExitUnreadable);
    EXPECT_NE(err_.find("unknown option --bogus"), std::string::npos);
    EXPECT_EQ(Run({"--medium"}), checker::kExitUnreadable);
}

TEST_F(CheckCommand, WindowsDirectoryAssumptionMovesTheDestination)
{
    const std::string script = Write("SETUP.INF", Join(kCleanLines));
    EXPECT_EQ(Run({"--windows-dir", "D:\\WINDOWS", script}), checker::kExitWarnings);
    EXPECT_NE(out_.find(":3: [Main] DefaultPath \"C:\\KESTREL\" is moved to the drive that holds "
                        "Windows: with Windows in D:\\WINDOWS the destination is \"D:\\KESTREL\""),
              std::string::npos)
        << out_;
}

} // namespace
