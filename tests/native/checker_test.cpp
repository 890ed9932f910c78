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
    "Disk2=2",                                                      // 17
    "[Disk1]",                                                      // 18
    "1=README.TXT,README.TXT,Read me first,RootDir",                // 19
    "2=KESTREL.VX_,KESTREL.VXD,Gamepad driver,WinSystemDir",        // 20
    "[Disk2]",                                                      // 21
    "1=KCAL.EX_,KCAL.EXE,Calibration utility,SubDir2",              // 22
    "2=UNINSTAL.EX_,UNINSTAL.EXE,Uninstall program,RootDir",        // 23
    "[REGISTRY_BEGIN]",                                             // 24
    "HKLM,SOFTWARE\\Kestrel\\%s,Version,,1.20",                     // 25
    "HKLM,SOFTWARE\\Kestrel\\%s,Buttons,1,0a,00",                   // 26
    "[REGISTRY_END]",                                               // 27
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

// An SZDD file whose LZSS data holds eight literal bytes; its header gives `size` bytes expanded
// and compression mode `mode`.
std::vector<std::uint8_t> Compressed(std::uint8_t size = 8, char mode = 'A')
{
    std::vector<std::uint8_t> bytes = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33,
                                       static_cast<std::uint8_t>(mode), 'E', size, 0, 0, 0, 0xFF};
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
        {"UNINSTAL.EX_", Compressed()},
        {"LONGNAME1.TXT", Bytes("a plain file with a long name\r\n")},
        {"CUT.EX_", {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A'}},
        {"PLAIN.EX_", Bytes("not compressed at all\r\n")},
        {"MODEB.EX_", Compressed(8, 'B')},
        {"DAMAGED.EX_", Compressed(100)},
        {"LONGER.EX_", Compressed(4)},
        {"TINY.TXT", Bytes("tiny\n")},
    };
}

CheckOptions MediumOptions(checker::MediumLayout layout = checker::MediumLayout::Medium)
{
    CheckOptions options;
    options.medium.layout = layout;
    options.medium.folder = "medium";
    options.medium.read = [](const std::string& name)
        -> std::optional<std::vector<std::uint8_t>> {
        for (const auto& [file, bytes] : MediumFiles()) {
            if (checker::EqualsNoCase(file, name)) {
                return bytes;
            }
        }
        // Files made up for a floppy's limits: one too large for it, and many small ones.
        if (checker::EqualsNoCase(name, "HUGE.BIN")) {
            return std::vector<std::uint8_t>(1500000, 'h');
        }
        if (checker::StartsWithNoCase(name, "MANY")) {
            return Bytes("one of many\r\n");
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
    EXPECT_EQ(report.fileCount, 4);
    EXPECT_EQ(checker::ExitStatusOf(report), authoring::kExitClean);
}

struct FaultCase {
    const char* name;
    std::size_t replaceLine;  // the line of kCleanLines to replace
    std::string replacement;  // may hold "\r\n" to become several lines
    std::size_t expectedLine; // where the warning must be tied
    std::string expectedText; // part of its message
    const char* windowsDir = nullptr; // the Windows directory assumed, when not the usual one
    checker::MediumLayout layout = checker::MediumLayout::Medium;
    bool floppySet = false; // every disk a floppy of its own
};

std::ostream& operator<<(std::ostream& os, const FaultCase& c)
{
    return os << c.name;
}

class ScriptFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ScriptFault, IsReportedOnItsLine)
{
    const FaultCase& c = GetParam();
    CheckOptions options = MediumOptions(c.layout);
    options.medium.floppySet = c.floppySet;
    if (c.windowsDir != nullptr) {
        options.assumptions.windowsDir = c.windowsDir;
    }
    const CheckReport report =
        checker::CheckScript(CleanWith({{c.replaceLine, c.replacement}}), options);
    EXPECT_TRUE(HasWarning(report, c.expectedLine, c.expectedText))
        << "wanted on line " << c.expectedLine << ": " << c.expectedText << "\ngot:\n"
        << Describe(report);
    EXPECT_EQ(checker::ExitStatusOf(report), authoring::kExitFaults);
}

const std::string k40(40, 'P');
const std::string k45(45, 'L');
const std::string k70(70, 'K');
const std::string k85(85, 'S');

const std::string kDriver25(25, 'D');
const std::string kDescription70(70, 'd');
const std::string kLongWindows = "C:\\" + std::string(40, 'W');

// [Disk2] again with `count` file records of its own, MANY1.TXT, MANY2.TXT...
std::string ManyFilesOnDisk2(int count)
{
    std::string text = "Disk2=" + std::to_string(count) + "\r\n[Disk2]";
    for (int i = 1; i <= count; ++i) {
        const std::string name = "MANY" + std::to_string(i) + ".TXT";
        text += "\r\n" + std::to_string(i) + "=" + name + "," + name + ",One of many,SubDir1";
    }
    return text;
}

const FaultCase kFaults[] = {
    // The text as a whole and its outline.
    {"ScriptOf32768Bytes", 1, ";" + std::string(32800, 'c') + "\r\n[Main]", 1,
     "the script reaches 32768 bytes on this line"},
    {"NulByte", 9, std::string("Disk1=Disk\0one", 14), 9, "the script holds a NUL byte"},
    {"ByteOrderMark", 1, "\xEF\xBB\xBF[Main]", 1, "begins with a UTF-8 byte-order mark"},
    {"LineBeforeAnySection", 1, "Stray=1\r\n[Main]", 1,
     "line \"Stray=1\" stands before any section"},
    {"SeventhDisk", 27, "[REGISTRY_END]\r\n[Disk7]", 28,
     "[Disk7] is never read: SETUP.EXE reads at most 6 disks"},
    {"UnknownSection", 27, "[REGISTRY_END]\r\n[Extras]", 28,
     "section [Extras] is never read by SETUP.EXE"},
    {"SectionAgain", 27, "[REGISTRY_END]\r\n[Main]", 28,
     "[Main] appears again; the profile reader uses only the first one (line 1)"},
    {"HeaderWithoutBracket", 11, "[DirectoryName", 11,
     "\"[DirectoryName\" has no closing \"]\": it is no section header"},
    {"KeyAgain", 6, "OEMData2=4\r\nOEMData2=5", 7,
     "[Main] OEMData2 appears again; the profile reader uses only the first (line 6)"},
    {"LineWithoutEquals", 5, "OEMData1", 5, "[Main] line \"OEMData1\" has no \"=\""},
    {"UnknownKey", 5, "Colour=blue", 5, "[Main] \"Colour\" is not a key that SETUP.EXE reads"},
    {"CommentAfterValue", 2, "ProductName=Kestrel ; the product", 2,
     "holds \";\" after a blank: the profile reader knows no comments after a value"},
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
    {"WindowsFolderCutInRecord", 20, kCleanLines[19], 20,
     "[Disk1] 2: the target folder \"" + kLongWindows + "\\SYSTEM\" has 50 characters; the "
     "file record keeps 39", kLongWindows.c_str()},
    // [Main]: defaults, the default destination, the numbers.
    {"ProductNameMissing", 2, ";", 1, "[Main] has no ProductName; SETUP.EXE uses \"Tirvo\""},
    {"ProductNameEmpty", 2, "ProductName=", 2, "[Main] ProductName is empty: the caption reads"},
    {"ProductNameWithBackslash", 2, "ProductName=Kestrel\\Pad", 2, "holds a backslash"},
    {"DriverNameMissing", 4, ";", 1, "[Main] has no DriverName; SETUP.EXE uses \"JOY.VXD\""},
    {"DriverNameEmpty", 4, "DriverName=", 4, "[Main] DriverName is empty"},
    {"DriverNameNotInstalled", 4, "DriverName=OTHER.VXD", 4,
     "[Main] DriverName \"OTHER.VXD\" is not the target name of any file"},
    {"DefaultPathMissing", 3, ";", 1,
     "[Main] has no DefaultPath; SETUP.EXE uses \"C:\\TIRVO\", moved to the drive"},
    {"DefaultPathWithoutBackslash", 3, "DefaultPath=C:KESTREL", 3,
     "has no backslash after the drive"},
    {"DefaultPathMovedToWindowsDrive", 3, "DefaultPath=D:\\KESTREL", 3,
     "is moved to the drive that holds Windows: with Windows in C:\\WINDOWS the destination is "
     "\"C:\\KESTREL\""},
    {"DefaultPathEmpty", 3, "DefaultPath=", 3,
     "[Main] DefaultPath is empty: the destination is the Program Files directory itself"},
    {"DefaultPathJoinedToProgramFiles", 3, "DefaultPath=KESTREL", 3,
     "has no drive: SETUP.EXE places it below the Program Files directory "
     "(\"C:\\Program Files\\KESTREL\")"},
    {"DefaultPathDriveAlone", 3, "DefaultPath=D:", 3,
     "is a drive alone: SETUP.EXE joins it to the Program Files directory"},
    {"DefaultDestinationCut", 3, "DefaultPath=" + k70, 3,
     "the default destination \"C:\\Program Files\\" + k70 +
         "\" has 87 characters; SETUP.EXE keeps 79"},
    {"NumberEmpty", 5, "OEMData1=", 5, "[Main] OEMData1 is empty; SETUP.EXE uses its default 0"},
    {"NumberBeyond32Bits", 6, "OEMData2=9999999999", 6,
     "[Main] OEMData2 \"9999999999\" does not fit in 32 bits"},
    {"NumberNotDecimal", 6, "OEMData2=0x10", 6,
     "is not a plain decimal number; SETUP.EXE reads 16 (a \"0x\", \"0o\" or \"0b\" prefix"},
    {"MinimumSpaceAbove32767", 7, "MinimumSpace=40000", 7,
     "[Main] MinimumSpace 40000 is kept in 16 bits as -25536: no drive has that much"},
    {"MinimumSpaceNegative", 7, "MinimumSpace=-5", 7,
     "[Main] MinimumSpace -5 is negative: no drive has that much free space"},
    // Disks and file counts.
    {"DiskLabelGap", 10, "Disk3=Disk three", 10, "[DiskLabel] Disk3 comes after the empty Disk2"},
    {"DiskLabelEmptyButCounted", 9, "Disk1=", 9,
     "[DiskLabel] Disk1 is empty, but SETUP.EXE counts 1 non-empty label and so still reads "
     "disk 1 of [Disk1]"},
    {"DiskSectionNeverRead", 10, ";", 21, "[Disk2] is never read: SETUP.EXE counts 1 disk"},
    {"NoDiskLabel", 8, "[NoLabels]", 0, "[DiskLabel] has no non-empty label"},
    {"CountMissing", 17, "", 15, "[FileCounts] Disk2 is not set"},
    {"CountBeyond16Bits", 17, "Disk2=65537", 17,
     "[FileCounts] Disk2 65537 is kept in 16 bits as 1"},
    {"CountNegative", 17, "Disk2=-1", 17,
     "[FileCounts] Disk2 -1 is negative: no file of disk 2 is installed"},
    {"CountsAboveTheLimit", 16, "Disk1=32767", 15,
     "[FileCounts] adds up to 32769 files, more than 32767: SETUP.EXE stops at once"},
    // The disk sections' keys.
    {"DiskSectionMissing", 21, "[Disk3]", 17,
     "[Disk2] is missing, although [FileCounts] Disk2 is 2: SETUP.EXE keeps 2 empty file "
     "records"},
    {"KeyNeverRead", 19, "01=README.TXT,README.TXT,Read me first,RootDir", 19,
     "[Disk1] key \"01\" is never read: SETUP.EXE asks for the keys 1 to 2"},
    {"NumberedKeyMissing", 16, "Disk1=3", 18,
     "[Disk1] has no key 3, although [FileCounts] Disk1 is 3"},
    {"NumberedKeyEmpty", 20, "2=", 20,
     "[Disk1] 2: the file line is empty: SETUP.EXE keeps an empty file record"},
    {"MoreKeysThanCount", 16, "Disk1=1", 20,
     "[Disk1] 2 is beyond [FileCounts] Disk1 is 1: SETUP.EXE never reads it"},
    // The file records.
    {"WholeLineInQuotes", 19, "1=\"README.TXT,README.TXT,Read me first,RootDir\"", 19,
     "[Disk1] 1: the whole line stands in quotes: the profile reader drops the outer pair"},
    {"MoreThanFourFields", 19, "1=README.TXT,README.TXT,Read me, first,RootDir", 19,
     "[Disk1] 1: the line has 5 fields; SETUP.EXE reads 4 and ignores \"RootDir\""},
    {"SourceNameEmpty", 19, "1=,README.TXT,Read me,RootDir", 19,
     "the source name is empty: SETUP.EXE reports the file as not copied"},
    {"TargetNameEmpty", 19, "1=README.TXT,,Read me,RootDir", 19,
     "the target name is empty: SETUP.EXE reports the file as not copied"},
    {"TargetNameLeadsOut", 19, "1=README.TXT,..\\EVIL.TXT,Read me,RootDir", 19,
     "target name \"..\\EVIL.TXT\" leads out of its folder: SETUP.EXE refuses it"},
    {"SourceNameLeadsOut", 19, "1=..\\README.TXT,README.TXT,Read me,RootDir", 19,
     "source name \"..\\README.TXT\" leads out of the medium's folder"},
    {"SourceNotEightDotThree", 19, "1=LONGNAME1.TXT,README.TXT,Read me,RootDir", 19,
     "source name \"LONGNAME1.TXT\" is not an 8.3 name"},
    {"TargetNotEightDotThree", 19, "1=README.TXT,KESTRELPAD.TXT,Read me,RootDir", 19,
     "target name \"KESTRELPAD.TXT\" is not an 8.3 name; Windows 95 and 98 would bring a file "
     "in use back under its 8.3 alias"},
    {"UnknownDirectoryKey", 19, "1=README.TXT,README.TXT,Read me,BogusDir", 19,
     "directory key \"BogusDir\" is none of RootDir, SubDir1 to SubDir6"},
    {"NoDirectoryKey", 19, "1=README.TXT,README.TXT,Read me", 19,
     "the line has no directory key: SETUP.EXE copies the file into the destination directory"},
    {"DirectoryKeyWithoutValue", 19, "1=README.TXT,README.TXT,Read me,SubDir3", 19,
     "directory key SubDir3 has no value in [DirectoryName]"},
    // Where the files go.
    {"SameTarget", 22, "1=KCAL.EX_,README.TXT,Calibration utility,RootDir", 22,
     "[Disk2] 1: the same target \"C:\\KESTREL\\README.TXT\" as [Disk1] 1 (line 19): the later "
     "copy overwrites the earlier"},
    {"InstallRecordName", 19, "1=README.TXT,uninstal.dat,Read me first,RootDir", 19,
     "[Disk1] 1: the target UNINSTAL.DAT in the destination folder itself is where SETUP.EXE "
     "keeps its install record: SETUP.EXE refuses the record"},
    {"NoUninstaller", 17, "Disk2=1", 21,
     "the script installs no UNINSTAL.EXE into the destination folder itself: the uninstall "
     "entry that SETUP.EXE writes runs \"C:\\KESTREL\\UNINSTAL.EXE\", which would not be there"},
    {"UninstallerElsewhere", 23, "2=UNINSTAL.EX_,UNINSTAL.EXE,Uninstall program,SubDir1", 23,
     "[Disk2] 2: UNINSTAL.EXE does not go into the destination folder itself"},
    // [DirectoryName].
    {"WindowsKeyValueNotUsed", 14, "SubDir2=UTILS\\CALIB\r\nWinDir=SOMEWHERE", 15,
     "[DirectoryName] WinDir \"SOMEWHERE\" is not used"},
    {"SubDirWithoutParent", 14, "SubDir2=TOOLS\\CALIB", 14,
     "needs the folder \"TOOLS\", which no earlier SubDir makes"},
    {"SubDirParentMadeLater", 13, "SubDir1=UTILS\\CALIB\\DEEP", 13,
     "needs the folder \"UTILS\", which no earlier SubDir makes"},
    {"SubDirLeadsOut", 13, "SubDir1=..\\WINDOWS", 13,
     "SubDir1 \"..\\WINDOWS\" leads out of the destination directory: SETUP.EXE refuses it, "
     "makes no folder for it and reports the files aimed at it as not copied"},
    {"RootDirFromTheDrive", 12, "RootDir=\\", 12, "RootDir \"\\\" leads out of the destination"},
    {"RootDirNeverMade", 12, "RootDir=APP", 12, "[DirectoryName] RootDir \"APP\" is never made"},
    // The medium, and the originals that one is laid out from.
    {"FileMissingFromMedium", 19, "1=NOFILE.TXT,README.TXT,Read me,RootDir", 19,
     "[Disk1] 1: \"NOFILE.TXT\" is not on the medium (medium)"},
    {"CompressedSizeUnreadable", 19, "1=CUT.EX_,CUT.EXE,Cut short,RootDir", 19,
     "its expanded size cannot be read"},
    {"NotCompressed", 22, "1=PLAIN.EX_,PLAIN.EXE,Plain,SubDir2", 22,
     "\"PLAIN.EX_\" is not LZ-compressed (it has no SZDD header)"},
    {"UnknownCompressionMode", 22, "1=MODEB.EX_,MODEB.EXE,Mode B,SubDir2", 22,
     "\"MODEB.EX_\" is compressed in a mode other than \"A\""},
    {"CompressedFileDamaged", 22, "1=DAMAGED.EX_,DAMAGED.EXE,Damaged,SubDir2", 22,
     "\"DAMAGED.EX_\" is damaged: its header gives 100 bytes expanded, but it expands to 8 bytes"},
    {"CompressedFileLongerThanItsHeader", 22, "1=LONGER.EX_,LONGER.EXE,Longer,SubDir2", 22,
     "\"LONGER.EX_\" is damaged: its header gives 4 bytes expanded, but it expands to more"},
    {"MinimumSpaceTooSmall", 7, "MinimumSpace=1", 7,
     "[Main] MinimumSpace is 1 KB, but the files that SETUP.EXE installs take 4 KB expanded"},
    {"OriginalMissing", 19, "1=NOFILE.TXT,NOFILE.TXT,Read me,RootDir", 19,
     "[Disk1] 1: the original \"NOFILE.TXT\" is not in medium", nullptr,
     checker::MediumLayout::Originals},
    {"OriginalTooShortForMscompress", 19, "1=TINY.TX_,TINY.TXT,Tiny,RootDir", 19,
     "the original \"TINY.TXT\" has 5 bytes, too few to compress with mscompress", nullptr,
     checker::MediumLayout::Originals},
    // A set of floppies, one for each disk.
    {"FloppySetDiskTooLarge", 22, "1=HUGE.BIN,HUGE.BIN,Huge,SubDir2", 21,
     "on a floppy of its own, disk 2 (\"Disk two\") takes 1500672 bytes in whole sectors, and a "
     "1.44 MB floppy holds 1457664: 43008 bytes too many", nullptr,
     checker::MediumLayout::Medium, true},
    {"FloppySetOriginalsTooLarge", 22, "1=HUGE.BIN,HUGE.BIN,Huge,SubDir2", 21,
     "disk 2 (\"Disk two\") takes 1500160 bytes in whole sectors", nullptr,
     checker::MediumLayout::Originals, true},
    // The reader takes the first [Disk2], which holds the files; the label, the volume label and
    // the names fill the root folder's 224 entries.
    {"FloppySetTooManyNames", 17, ManyFilesOnDisk2(224), 18,
     "on a floppy of its own, the names on disk 2 (\"Disk two\") take 225 entries of the "
     "floppy's root folder (with its label), which has 224: 1 too many", nullptr,
     checker::MediumLayout::Medium, true},
    {"FloppySetDiskLabelCut", 10, "Disk2=" + k45, 10,
     "[DiskLabel] Disk2 \"" + k45 + "\" has 45 characters; SETUP.EXE keeps 39", nullptr,
     checker::MediumLayout::Medium, true},
    {"FloppySetDiskWithFilesUnlabelled", 10, "Disk2=", 21,
     "[Disk2] is never read: SETUP.EXE counts 1 disk", nullptr, checker::MediumLayout::Medium,
     true},
    // The registry section.
    {"RootHkcr", 25, "HKCR,SOFTWARE\\Kestrel,Version,,1.20", 25,
     "root \"HKCR\" is not one of HKR, HKLM, HKEY_CLASSES_ROOT (write \"HKEY_CLASSES_ROOT\", in "
     "capitals)"},
    {"RootHkeyLocalMachine", 25, "HKEY_LOCAL_MACHINE,SOFTWARE\\Kestrel,Version,,1", 25,
     "(write \"HKLM\", in capitals); the line writes nothing"},
    {"RootHkcu", 25, "HKCU,SOFTWARE\\Kestrel,Version,,1", 25,
     "(SETUP.EXE writes below HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT only)"},
    {"RootComment", 25, "; HKLM,SOFTWARE\\Kestrel,Version,,1", 25,
     "(the registry section has no comments)"},
    {"RootUnknown", 25, "HKXX,SOFTWARE\\Kestrel,Version,,1.20", 25,
     "root \"HKXX\" is not one of HKR, HKLM, HKEY_CLASSES_ROOT; the line writes nothing"},
    {"EndMarkerInLowerCase", 27, "[registry_end]", 27, "\"[registry_end]\" is no marker"},
    {"BeginMarkerWithBlank", 24, "[REGISTRY_BEGIN] ", 24, "\"[REGISTRY_BEGIN] \" is no marker"},
    {"RegistryLineOver255", 25, "HKLM,SOFTWARE\\Kestrel,Version,," + std::string(240, 'v'), 25,
     "registry line: the line has 271 characters, more than 255; SETUP.EXE passes it over"},
    {"RegistryFieldOver127", 25, "HKLM,SOFTWARE\\Kestrel," + std::string(130, 'n') + ",,1.20",
     25, "the value name has 130 characters, more than 127"},
    {"TypeFlagOver39", 25, "HKLM,SOFTWARE\\Kestrel,Version," + std::string(45, '0') + ",1.20",
     25, "the type flag has 45 characters, more than 39"},
    {"DataOver127WithProductName", 25,
     "HKLM,SOFTWARE\\Kestrel,Version,,%s" + std::string(120, 'd'), 25,
     "the data with the product name for \"%s\" has 135 characters, more than 127"},
    {"SubkeyEmpty", 25, "HKLM,,Version,,1.20", 25,
     "the subkey is empty, so the value is written into HKEY_LOCAL_MACHINE itself"},
    {"ValueNameWithProductName", 25, "HKLM,SOFTWARE\\Kestrel,%s Version,,1.20", 25,
     "the value name \"%s Version\" holds \"%s\", which is replaced only in the subkey"},
    {"ProductNameTwice", 25, "HKLM,SOFTWARE\\%s\\%s,Version,,1.20", 25,
     "the subkey \"SOFTWARE\\%s\\%s\" holds \"%s\" more than once"},
    {"TypeFlagOfAString", 25, "HKLM,SOFTWARE\\Kestrel,Version,2,1.20", 25,
     "the type flag \"2\" makes a string value: only a flag beginning with \"1\""},
    {"TypeFlagOfABinary", 26, "HKLM,SOFTWARE\\Kestrel,Buttons,1b,0a", 26,
     "the type flag \"1b\" makes a binary value: only its first character counts"},
    {"BinaryDataEmpty", 26, "HKLM,SOFTWARE\\Kestrel,Buttons,1,", 26,
     "the data field of a binary value is empty; SETUP.EXE writes the byte 0x00"},
    {"BinaryFieldNotHex", 26, "HKLM,SOFTWARE\\Kestrel,Buttons,1,0a,zz", 26,
     "byte \"zz\" (field 6) is not hexadecimal; SETUP.EXE reads it as 0x53"},
    {"BinaryFieldOfThreeDigits", 26, "HKLM,SOFTWARE\\Kestrel,Buttons,1,0a,123", 26,
     "byte \"123\" (field 6) has more than two digits; SETUP.EXE reads it as 0x12"},
    {"BinaryFieldsAfterAnEmptyOne", 26, "HKLM,SOFTWARE\\Kestrel,Buttons,1,0a,,01,02", 26,
     "field 6 is empty, which ends the binary value; \"01,02\" after it is ignored"},
    {"StringValueWithMoreFields", 25, "HKLM,SOFTWARE\\Kestrel,Version,,1,20", 25,
     "a string value takes only field 5; \"20\" after it is ignored"},
    {"SectionNeverClosed", 27, "", 24,
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
        Check(CleanWith({{25, "HKCR,SOFTWARE\\Kestrel,Version,,1.20"}, {2, "ProductName=" + k40}}));
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
              authoring::kExitClean)
        << out_ << err_;
    EXPECT_NE(out_.find("no warnings (2 disks, 8 file records)"), std::string::npos) << out_;
}

TEST_F(CheckCommand, FloppySetReportsWhatEachDiskTakesOnItsFloppy)
{
    const std::string script = SETUP_SOURCE_DIR "/sample/SETUP.INF";
    EXPECT_EQ(Run({"--floppy-set", "--originals", SampleOriginals(), script}),
              authoring::kExitClean)
        << out_ << err_;
    // Disk 2's files as setup-medium makes them: KCAL.EX_ (6597 bytes), BUTTONS.TXT,
    // KESTREL.HL_ (2003 bytes) and UNINSTAL.EX_, in whole sectors.
    for (const std::string& line :
         {script + ": disk 1 (\"Kestrel Gamepad Driver Disk 1\") on a 1.44 MB floppy: 6 files,",
          std::string("(SETUP.EXE reckoned at 45056 bytes)\n"),
          script + ": disk 2 (\"Kestrel Gamepad Driver Disk 2\") on a 1.44 MB floppy: 4 files, "
                   "9728 of 1457664 bytes, 1447936 free\n",
          script + ": no warnings (2 disks, 8 file records)"}) {
        EXPECT_NE(out_.find(line), std::string::npos) << line << "\n" << out_;
    }
    EXPECT_EQ(Run({"--floppy-set", script}), authoring::kExitCannotRun);
    EXPECT_NE(err_.find("--floppy-set needs the medium's files"), std::string::npos) << err_;
}

TEST_F(CheckCommand, WarningsGiveExitOneWithFileAndLine)
{
    const std::string script = Write("SETUP.INF", CleanWith({{7, "MinimumSpace=40000"}}));
    EXPECT_EQ(Run({script}), authoring::kExitFaults);
    EXPECT_NE(out_.find(script + ":7: [Main] MinimumSpace 40000 is kept in 16 bits as -25536"),
              std::string::npos)
        << out_;
    EXPECT_NE(out_.find(script + ": 1 warning\n"), std::string::npos) << out_;
}

TEST_F(CheckCommand, MissingScriptGivesExitTwo)
{
    EXPECT_EQ(Run({(folder_ / "NOSUCH.INF").string()}), authoring::kExitCannotRun);
    EXPECT_NE(err_.find("the script cannot be read"), std::string::npos) << err_;
    EXPECT_TRUE(out_.empty());
}

TEST_F(CheckCommand, FolderWithoutScriptGivesExitTwo)
{
    EXPECT_EQ(Run({folder_.string()}), authoring::kExitCannotRun);
    EXPECT_NE(err_.find("the folder holds no SETUP.INF"), std::string::npos) << err_;
}

TEST_F(CheckCommand, FolderIsCheckedAsAMedium)
{
    Write("setup.inf", CleanWith({{19, "1=NOFILE.TXT,README.TXT,Read me first,RootDir"}}));
    const std::vector<std::uint8_t> compressed = Compressed();
    Write("KESTREL.VX_", std::string(compressed.begin(), compressed.end()));
    Write("KCAL.EX_", std::string(compressed.begin(), compressed.end()));
    Write("UNINSTAL.EX_", std::string(compressed.begin(), compressed.end()));
    EXPECT_EQ(Run({folder_.string()}), authoring::kExitFaults);
    EXPECT_NE(out_.find(":19: [Disk1] 1: \"NOFILE.TXT\" is not on the medium"), std::string::npos)
        << out_;
}

TEST_F(CheckCommand, BadUsageGivesExitTwo)
{
    EXPECT_EQ(Run({}), authoring::kExitCannotRun);
    EXPECT_NE(err_.find("no script given"), std::string::npos);
    EXPECT_EQ(Run({"--bogus", "SETUP.INF"}), authoring::kExitCannotRun);
    EXPECT_NE(err_.find("unknown option --bogus"), std::string::npos);
    EXPECT_EQ(Run({"--medium"}), authoring::kExitCannotRun);
}

TEST_F(CheckCommand, WindowsDirectoryAssumptionMovesTheDestination)
{
    const std::string script = Write("SETUP.INF", Join(kCleanLines));
    EXPECT_EQ(Run({"--windows-dir", "D:\\WINDOWS", script}), authoring::kExitFaults);
    EXPECT_NE(out_.find(":3: [Main] DefaultPath \"C:\\KESTREL\" is moved to the drive that holds "
                        "Windows: with Windows in D:\\WINDOWS the destination is \"D:\\KESTREL\""),
              std::string::npos)
        << out_;
}

} // namespace
