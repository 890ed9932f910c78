// Our private-profile reader (script/profile_reader.h), which the checker and the native tests
// use in place of the system's, against the system's GetPrivateProfileStringA and
// GetPrivateProfileIntA on the same files: both its walk over the text and its index
// (script/profile_index.h), through which the loading sequence reads outside SETUP.EXE. Where
// Wine's reader is known to differ from the one of Windows 98, the table holds both results and
// the test checks each.
#include "script/profile_index.h"
#include "script/profile_reader.h"
#include "support/test_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

const std::string kFolder = "C:\\PROFILES";

// The files, each under its own name so that no reader's cache mixes them up.
const std::string kMainIni =
    "; comment line\r\n"
    "[Main]\r\n"
    "ProductName=Kestrel Gamepad\r\n"
    "  DriverName  =  KESTREL.VXD  \r\n"
    "Empty=\r\n"
    "Blanks=    \r\n"
    "Quoted=\"  spaced  \"\r\n"
    "Single='single'\r\n"
    "Unbalanced=\"abc\r\n"
    "Mixed=\"abc'\r\n"
    "Inner=a \"b\" c\r\n"
    "Long=0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n"
    "LongQuoted=\"0123456789abcdefghij\"\r\n"
    "Dup=first\r\n"
    "dup=second\r\n"
    "NoEquals\r\n"
    "Equals=a=b\r\n"
    "Tab=\tx\t\r\n"
    "[main]\r\n"
    "Later=in the second [Main]\r\n"
    "[ Spaced Section ]\r\n"
    "Key = spaced\r\n"
    "[Brackets]]\r\n"
    "Key=brackets\r\n";

const std::string kTailIni = "[S]\r\nFirst=1\r\nLast=tail";       // no line break at the end
const std::string kLfIni = "[S]\nFirst=lf one\nSecond=lf two\n";   // line feeds alone
// A UTF-8 byte-order mark before the first section header.
const std::string kBomIni = "\xEF\xBB\xBF[S]\r\nKey=after the mark\r\n[T]\r\nKey=t\r\n";
const std::string kIntIni =
    "[Ints]\r\n"
    "Twelve=12abc\r\n"
    "Seven= 7\r\n"
    "Minus=-3\r\n"
    "Plus=+5\r\n"
    "Hex=0x10\r\n"
    "HexUpper=0X10\r\n"
    "Octal=0o17\r\n"
    "Binary=0b101\r\n"
    "Leading=007\r\n"
    "Huge=99999999999\r\n"
    "Max=4294967295\r\n"
    "Big=2147483648\r\n"
    "Empty=\r\n"
    "Letters=abc\r\n"
    "Quoted=\"15\"\r\n"
    "Inner=1 2\r\n"
    "Long=000000000000000000000000000000000000000000123\r\n";

std::string PathOf(const std::string& name)
{
    return kFolder + "\\" + name;
}

const struct {
    const char* name;
    const std::string& content;
} kIniFiles[] = {{"MAIN.INI", kMainIni}, {"TAIL.INI", kTailIni}, {"LF.INI", kLfIni},
                 {"INTS.INI", kIntIni}, {"BOM.INI", kBomIni}};

class ProfileFiles : public ::testing::Environment {
public:
    void SetUp() override
    {
        FreshFolder(kFolder);
        for (const auto& file : kIniFiles) {
            ASSERT_TRUE(WriteWholeFile(PathOf(file.name), file.content)) << file.name;
        }
    }
};

const ::testing::Environment* const kFiles =
    ::testing::AddGlobalTestEnvironment(new ProfileFiles);

std::string ContentOf(const std::string& name)
{
    for (const auto& file : kIniFiles) {
        if (name == file.name) {
            return file.content;
        }
    }
    return std::string(); // a file that does not exist reads as an empty text
}

struct StringCase {
    const char* name;
    const char* file;
    const char* section;
    const char* key;
    const char* fallback;
    unsigned bufferSize;
    const char* expected;     // what our reader gives, as Windows 98 reads the file
    const char* wineExpected; // what Wine's reader gives where it differs; null when the same
};

std::ostream& operator<<(std::ostream& os, const StringCase& c)
{
    return os << c.name;
}

class ProfileString : public ::testing::TestWithParam<StringCase> {};

TEST_P(ProfileString, OursGivesWhatTheSystemGives)
{
    const StringCase& c = GetParam();
    std::string system(c.bufferSize + 8, '#');
    const DWORD systemLength = GetPrivateProfileStringA(
        c.section, c.key, c.fallback, system.data(), c.bufferSize, PathOf(c.file).c_str());
    const std::string content = ContentOf(c.file);
    std::string ours(c.bufferSize + 8, '#');
    const std::size_t ourLength = ReadProfileString(content.data(), content.size(), c.section,
                                                    c.key, c.fallback, ours.data(), c.bufferSize);

    std::string indexed(c.bufferSize + 8, '#');
    const std::size_t indexedLength =
        ReadProfileValue(ProfileIndex(content).Find(c.section, c.key), c.fallback,
                         indexed.data(), c.bufferSize);

    const char* wine = c.wineExpected != nullptr ? c.wineExpected : c.expected;
    EXPECT_STREQ(system.c_str(), wine) << "the system's reader";
    EXPECT_STREQ(ours.c_str(), c.expected) << "our reader";
    EXPECT_STREQ(indexed.c_str(), c.expected) << "our reader's index";
    EXPECT_EQ(systemLength, std::string(wine).size()) << "the system's length";
    EXPECT_EQ(ourLength, std::string(c.expected).size()) << "our length";
    EXPECT_EQ(indexedLength, ourLength) << "our index's length";
    // None writes past the buffer it was given.
    EXPECT_EQ(system[c.bufferSize], '#');
    EXPECT_EQ(ours[c.bufferSize], '#');
    EXPECT_EQ(indexed[c.bufferSize], '#');
}

INSTANTIATE_TEST_SUITE_P(
    Readers, ProfileString,
    ::testing::Values(
        StringCase{"PlainValue", "MAIN.INI", "Main", "ProductName", "d", 80, "Kestrel Gamepad"},
        StringCase{"NamesIgnoreCase", "MAIN.INI", "MAIN", "productname", "d", 80,
                   "Kestrel Gamepad"},
        StringCase{"BlanksAroundNameAndValueDropped", "MAIN.INI", "Main", "DriverName", "d", 80,
                   "KESTREL.VXD"},
        StringCase{"BlanksAroundAskedNamesDropped", "MAIN.INI", " Main ", " DriverName ", "d", 80,
                   "KESTREL.VXD"},
        StringCase{"MissingKeyGivesDefault", "MAIN.INI", "Main", "Nothing", "fallback", 80,
                   "fallback"},
        StringCase{"MissingSectionGivesDefault", "MAIN.INI", "Nowhere", "ProductName", "fb", 80,
                   "fb"},
        StringCase{"MissingFileGivesDefault", "NOFILE.INI", "Main", "ProductName", "fb", 80,
                   "fb"},
        StringCase{"DefaultLosesTrailingBlanks", "MAIN.INI", "Main", "Nothing", "fb  ", 80, "fb"},
        StringCase{"DefaultIsCutToTheBuffer", "MAIN.INI", "Main", "Nothing", "C:\\TIRVO", 5,
                   "C:\\T"},
        StringCase{"EmptyValueIsEmptyNotDefault", "MAIN.INI", "Main", "Empty", "fb", 80, ""},
        StringCase{"BlankValueIsEmpty", "MAIN.INI", "Main", "Blanks", "fb", 80, ""},
        StringCase{"DoubleQuotesDropped", "MAIN.INI", "Main", "Quoted", "fb", 80, "  spaced  "},
        StringCase{"SingleQuotesDropped", "MAIN.INI", "Main", "Single", "fb", 80, "single"},
        StringCase{"UnbalancedQuoteKept", "MAIN.INI", "Main", "Unbalanced", "fb", 80, "\"abc"},
        StringCase{"MismatchedQuotesKept", "MAIN.INI", "Main", "Mixed", "fb", 80, "\"abc'"},
        StringCase{"InnerQuotesKept", "MAIN.INI", "Main", "Inner", "fb", 80, "a \"b\" c"},
        StringCase{"LongValueCutToBufferLessOne", "MAIN.INI", "Main", "Long", "fb", 11,
                   "0123456789"},
        StringCase{"LongValueCutAt32", "MAIN.INI", "Main", "Long", "fb", 32,
                   "0123456789abcdefghijklmnopqrstu"},
        StringCase{"ValueThatFitsExactly", "MAIN.INI", "Main", "Long", "fb", 63,
                   "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        StringCase{"QuotedValueThatFits", "MAIN.INI", "Main", "LongQuoted", "fb", 40,
                   "0123456789abcdefghij"},
        StringCase{"BufferOfOneGivesEmpty", "MAIN.INI", "Main", "ProductName", "fb", 1, ""},
        StringCase{"DuplicateKeyGivesFirst", "MAIN.INI", "Main", "DUP", "fb", 80, "first"},
        StringCase{"DuplicateSectionIsNotSearched", "MAIN.INI", "Main", "Later", "fb", 80, "fb"},
        StringCase{"LineWithoutEqualsReadsAsMissing", "MAIN.INI", "Main", "NoEquals", "fb", 80,
                   "fb"},
        StringCase{"ValueKeepsLaterEquals", "MAIN.INI", "Main", "Equals", "fb", 80, "a=b"},
        StringCase{"TabsAroundValueDropped", "MAIN.INI", "Main", "Tab", "fb", 80, "x"},
        StringCase{"BlanksInsideBracketsDropped", "MAIN.INI", "Spaced Section", "Key", "fb", 80,
                   "spaced"},
        StringCase{"SectionEndsAtLastBracket", "MAIN.INI", "Brackets]", "Key", "fb", 80,
                   "brackets"},
        StringCase{"LastLineWithoutLineBreak", "TAIL.INI", "S", "Last", "fb", 80, "tail"},
        StringCase{"LineFeedsAlone", "LF.INI", "s", "second", "fb", 80, "lf two"},
        // A quoted value cut by the buffer: the closing quote is taken off only when the rest of
        // the value fitted whole, or all but one character of it.
        StringCase{"QuotedValueCut", "MAIN.INI", "Main", "LongQuoted", "fb", 10, "012345678"},
        StringCase{"QuotedValueOneShort", "MAIN.INI", "Main", "LongQuoted", "fb", 21,
                   "0123456789abcdefghi"},
        StringCase{"QuotedValueJustFits", "MAIN.INI", "Main", "LongQuoted", "fb", 22,
                   "0123456789abcdefghij"},
        // Wine differs from Windows 98: Windows 95 and 98 read the mark as bytes of the first
        // line, so "[S]" is no header there; Wine takes the mark as the file's encoding and
        // drops it.
        StringCase{"ByteOrderMarkHidesFirstHeader", "BOM.INI", "S", "Key", "fb", 80, "fb",
                   "after the mark"},
        StringCase{"ByteOrderMarkLeavesLaterHeaders", "BOM.INI", "T", "Key", "fb", 80, "t"}),
    [](const ::testing::TestParamInfo<StringCase>& info) { return std::string(info.param.name); });

struct IntCase {
    const char* name;
    const char* key;
    std::int32_t fallback;
    std::int32_t expected;      // our reader, as Windows 98 reads the value
    std::int32_t wineExpected;  // Wine's reader (NT rules) where it differs; else the same
};

std::ostream& operator<<(std::ostream& os, const IntCase& c)
{
    return os << c.name;
}

class ProfileInt : public ::testing::TestWithParam<IntCase> {};

TEST_P(ProfileInt, OursGivesWhatTheSystemGives)
{
    const IntCase& c = GetParam();
    const auto system = static_cast<std::int32_t>(
        GetPrivateProfileIntA("Ints", c.key, c.fallback, PathOf("INTS.INI").c_str()));
    const std::int32_t ours =
        ReadProfileInt(kIntIni.data(), kIntIni.size(), "ints", c.key, c.fallback);
    const std::int32_t indexed =
        ReadProfileNumber(ProfileIndex(kIntIni).Find("ints", c.key), c.fallback);
    EXPECT_EQ(system, c.wineExpected) << "the system's reader";
    EXPECT_EQ(ours, c.expected) << "our reader";
    EXPECT_EQ(indexed, c.expected) << "our reader's index";
}

INSTANTIATE_TEST_SUITE_P(
    Readers, ProfileInt,
    ::testing::Values(IntCase{"NumberBeforeLetters", "Twelve", 42, 12, 12},
                      IntCase{"BlanksBeforeNumber", "Seven", 42, 7, 7},
                      IntCase{"NegativeNumber", "Minus", 42, -3, -3},
                      IntCase{"PlusSign", "Plus", 42, 5, 5},
                      IntCase{"LeadingZeros", "Leading", 42, 7, 7},
                      IntCase{"HexPrefix", "Hex", 42, 16, 16},
                      IntCase{"HexPrefixUpperCase", "HexUpper", 42, 0, 0},
                      IntCase{"OctalPrefix", "Octal", 42, 15, 15},
                      IntCase{"BinaryPrefix", "Binary", 42, 5, 5},
                      IntCase{"HugeNumberWraps", "Huge", 42, 1215752191, 1215752191},
                      IntCase{"LargestUnsigned", "Max", 42, -1, -1},
                      IntCase{"AboveLargestSigned", "Big", 42, INT32_MIN, INT32_MIN},
                      IntCase{"EmptyValueGivesDefault", "Empty", 42, 42, 42},
                      IntCase{"MissingKeyGivesDefault", "Missing", 42, 42, 42},
                      IntCase{"NoDigitsGivesZero", "Letters", 42, 0, 0},
                      IntCase{"QuotedNumber", "Quoted", 42, 15, 15},
                      IntCase{"NumberEndsAtBlank", "Inner", 42, 1, 1},
                      IntCase{"OnlyThe29FirstCharactersCount", "Long", 42, 0, 0}),
    [](const ::testing::TestParamInfo<IntCase>& info) { return std::string(info.param.name); });

} // namespace
