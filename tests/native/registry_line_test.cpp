#include "registry/registry_line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kClassPrefix = "System\\CurrentControlSet\\Services\\Class\\";
constexpr const char* kClassKey = "MEDIA\\0001";

Bytes BytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// ---- HexByte ----

struct HexCase {
    const char* field;
    int byte;
};

class HexByteTable : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexByteTable, ReadsTheFirstTwoCharactersAsAPair)
{
    EXPECT_EQ(HexByte(GetParam().field), GetParam().byte) << "field \"" << GetParam().field << '"';
}

INSTANTIATE_TEST_SUITE_P(Pairs, HexByteTable, ::testing::Values(
    HexCase{"01", 0x01}, HexCase{"0a", 0x0A}, HexCase{"0A", 0x0A}, HexCase{"ff", 0xFF},
    HexCase{"Ff", 0xFF},
    HexCase{"7", 0x07},     // one character: "0" before it
    HexCase{"c", 0x0C},
    HexCase{"123", 0x12},   // characters after the second are ignored
    HexCase{"1G", 0x20},    // G counts 16
    HexCase{"g", 0x10},
    HexCase{"GG", 0x10},    // 16 * 16 + 16 = 272, modulo 256
    HexCase{"zz", 0x53},    // Z counts 35: 35 * 16 + 35 = 595, modulo 256
    HexCase{"!", 0xEA},     // below "0": 33 - 55 = -22, modulo 256
    HexCase{"\xff", 0xC8},  // ANSI 255 counts 200
    HexCase{"", 0x00}));    // an empty field gives 0

// ---- "%s" ----

TEST(ReplaceProductName, PutsTheNameInPlaceOfTheFirstPercentS)
{
    const struct {
        const char* field;
        const char* product;
        const char* result;
    } table[] = {
        {"SOFTWARE\\%s", "Pad", "SOFTWARE\\Pad"},
        {"%s", "Pad", "Pad"},
        {"A%sB\\C", "Quorra Pad", "AQuorra PadB\\C"},
        {"x%s", "", "x"},
        {"%s-%s", "Pad", "Pad-%s"}, // a field that holds "%s" holds no other directive
        // Fields without "%s" are taken unchanged.
        {"100%", "Pad", "100%"}, {"%", "Pad", "%"}, {"%d", "Pad", "%d"}, {"%S", "Pad", "%S"},
        {"a % s", "Pad", "a % s"}, {"", "Pad", ""},
    };
    for (const auto& row : table) {
        char out[kRegistryDataSize];
        ASSERT_TRUE(ReplaceProductName(row.field, row.product, out, sizeof out)) << row.field;
        EXPECT_STREQ(out, row.result) << row.field;
    }
}

TEST(ReplaceProductName, ResultThatDoesNotFitIsRefusedAndLeftEmpty)
{
    char out[kRegistryDataSize];
    const std::string fits = "%s" + std::string(124, 'd'); // 3 + 124 = 127 characters
    ASSERT_TRUE(ReplaceProductName(fits.c_str(), "Pad", out, sizeof out));
    EXPECT_EQ(std::strlen(out), 127u);
    const std::string over = "%s" + std::string(125, 'd'); // 128 characters
    std::memset(out, 'z', sizeof out);
    EXPECT_FALSE(ReplaceProductName(over.c_str(), "Pad", out, sizeof out));
    EXPECT_STREQ(out, "");
    // The text before "%s" alone may already be too long.
    char small[4];
    EXPECT_FALSE(ReplaceProductName("abcd%s", "P", small, sizeof small));
    EXPECT_STREQ(small, "");
}

// ---- whole lines ----

struct Parsed {
    bool applied;
    RegistryLine line;
};

Parsed Parse(const std::string& text, const char* classKey = kClassKey, const char* product = "Pad")
{
    Parsed p{};
    p.applied = ParseRegistryLine(classKey, product, text.c_str(), p.line);
    return p;
}

// What an applied line writes, compared as a whole.
struct Written {
    RegistryRoot root;
    std::string keyPath;
    std::string valueName;
    std::uint32_t type;
    Bytes bytes; // as many as the line's count
    bool operator==(const Written&) const = default;
};

void PrintTo(const Written& w, std::ostream* os)
{
    *os << "root " << static_cast<int>(w.root) << ", key \"" << w.keyPath << "\", value \""
        << w.valueName << "\", type " << w.type << ", " << w.bytes.size() << " bytes:";
    for (std::uint8_t b : w.bytes) {
        *os << ' ' << static_cast<int>(b);
    }
}

Written WrittenBy(const RegistryLine& line)
{
    return {line.root, line.keyPath, line.valueName, line.type,
            Bytes(line.bytes, line.bytes + line.count)};
}

Written Text(const std::string& key, const std::string& name, const std::string& data,
             RegistryRoot root = RegistryRoot::LocalMachine)
{
    return {root, key, name, kRegistryString, BytesOf(data)};
}

Written Binary(const std::string& key, const std::string& name, Bytes bytes)
{
    return {RegistryRoot::LocalMachine, key, name, kRegistryBinary, bytes};
}

struct AppliedCase {
    const char* name;
    std::string text;
    Written written;
    std::string product = "Pad";
    std::string classKey = kClassKey;
};

class AppliedLine : public ::testing::TestWithParam<AppliedCase> {};

TEST_P(AppliedLine, WritesItsValue)
{
    const AppliedCase& c = GetParam();
    const Parsed p = Parse(c.text, c.classKey.c_str(), c.product.c_str());
    ASSERT_TRUE(p.applied) << c.text;
    EXPECT_EQ(p.line.fault, RegistryLineFault::None);
    EXPECT_EQ(WrittenBy(p.line), c.written);
}

const std::string k127(127, 'k');

INSTANTIATE_TEST_SUITE_P(Lines, AppliedLine, ::testing::Values(
    AppliedCase{"RootAndSubkeyOnlyMakeAnEmptyDefaultString", "HKLM,SOFTWARE\\Pad",
                Text("SOFTWARE\\Pad", "", "")},
    AppliedCase{"ProductNameReplacesPercentSInSubkeyAndData", "HKLM, SOFTWARE\\%s , Name ,, %s",
                Text("SOFTWARE\\Pad", "Name", "Pad")},
    AppliedCase{"StringIsCountedWithoutItsNul", "HKLM,K,V,0,Hello", Text("K", "V", "Hello")},
    AppliedCase{"QuotedFieldsKeepTheirCommas", "HKEY_CLASSES_ROOT,\"Pad,Files\",\"a, b\",,\"x, y\"",
                Text("Pad,Files", "a, b", "x, y", RegistryRoot::ClassesRoot)},
    AppliedCase{"BinaryValueTakesOneByteFromEachField", "HKLM,K,V,1,01, 0a, ff, 7",
                Binary("K", "V", {0x01, 0x0A, 0xFF, 0x07})},
    AppliedCase{"BinaryValueEndsAtTheFirstEmptyField", "HKLM,K,V,1,01,,02",
                Binary("K", "V", {0x01})},
    AppliedCase{"BinaryValueEndsAtATrailingComma", "HKLM,K,V,1,01,02,",
                Binary("K", "V", {0x01, 0x02})},
    AppliedCase{"EmptyBinaryDataGivesTheByteZero", "HKLM,K,V,1", Binary("K", "V", {0x00})},
    AppliedCase{"EmptyBinaryFieldGivesTheByteZero", "HKLM,K,V,1,", Binary("K", "V", {0x00})},
    // The data field always gives the first byte, empty or not; the fields after it go on.
    AppliedCase{"EmptyFirstBinaryFieldGivesZeroAndGoesOn", "HKLM,K,V,1,,05",
                Binary("K", "V", {0x00, 0x05})},
    // "%s" with the product "Ab" gives "Ab": the pair A, b.
    AppliedCase{"BinaryFirstByteComesFromTheReplacedData", "HKLM,K,V,1,%s,12",
                Binary("K", "V", {0xAB, 0x12}), "Ab"},
    AppliedCase{"HkrWritesBelowTheDeviceClassKey", "HKR,Settings\\%s,Gain,,5",
                Text(kClassPrefix + "MEDIA\\0001\\Settings\\Pad", "Gain", "5")},
    AppliedCase{"HkrWithoutSubkeyNamesTheClassKeyItself", "HKR,,Driver,,vjoyd.vxd",
                Text(kClassPrefix + "MEDIA\\0001", "Driver", "vjoyd.vxd")},
    AppliedCase{"OtherRootsNeedNoDeviceClassKey", "HKLM,Settings,Gain,,5",
                Text("Settings", "Gain", "5"), "Pad", ""},
    AppliedCase{"BlanksAroundTheRootNameAreDropped", "  HKLM  ,K,V,,x", Text("K", "V", "x")},
    AppliedCase{"QuotesAroundTheRootNameAreDropped", "\"HKLM\",K,V,,x", Text("K", "V", "x")},
    AppliedCase{"TypeFlagOf39CharactersCounts", "HKLM,K,V,1" + std::string(38, 'x') + ",ab",
                Binary("K", "V", {0xAB})},
    // Each field of 127 characters on a line of its own: together they would not fit in one line.
    AppliedCase{"SubkeyOf127CharactersFits", "HKLM," + k127 + ",V,,x", Text(k127, "V", "x")},
    AppliedCase{"ValueNameOf127CharactersFits", "HKLM,K," + std::string(127, 'n') + ",,x",
                Text("K", std::string(127, 'n'), "x")},
    AppliedCase{"DataOf127CharactersFits", "HKLM,K,V,," + std::string(127, 'd'),
                Text("K", "V", std::string(127, 'd'))},
    // Blanks around a field and quotes are not part of its length.
    AppliedCase{"BlanksAroundAFieldDoNotCount", "HKLM,   \"" + k127 + "\"   ,V,,x",
                Text(k127, "V", "x")},
    AppliedCase{"QuotesInsideAFieldDoNotCount",
                "HKLM,\"" + std::string(60, 'k') + "\"\"" + std::string(67, 'k') + "\",V,,x",
                Text(k127, "V", "x")},
    // Trailing blanks beyond 127 characters are trimmed anyway: nothing is lost.
    AppliedCase{"TrailingBlanksBeyond127CharactersAreTrimmed", "HKLM," + k127 + "     ,V,,x",
                Text(k127, "V", "x")},
    AppliedCase{"ReplacedDataOf127CharactersFits", "HKLM,K,V,,%s" + std::string(124, 'd'),
                Text("K", "V", "Pad" + std::string(124, 'd'))},
    // Product names are far shorter in practice; the parser holds to the limit whatever it gets.
    AppliedCase{"ReplacedSubkeyOf255CharactersFits", "HKLM,%s" + std::string(125, 'k') + ",V,,x",
                Text(std::string(130, 'p') + std::string(125, 'k'), "V", "x"),
                std::string(130, 'p'), ""},
    // 40 characters of class root, a class key of 79, a backslash and the subkey.
    AppliedCase{"HkrPathOf255CharactersFits", "HKR,%s" + std::string(104, 'k') + ",V,,x",
                Text(kClassPrefix + std::string(79, 'c') + "\\" + std::string(31, 'p') +
                         std::string(104, 'k'), "V", "x"),
                std::string(31, 'p'), std::string(79, 'c')}),
    [](const ::testing::TestParamInfo<AppliedCase>& info) { return std::string(info.param.name); });

TEST(RegistryLine, ValueOfAStringLineIsCountedWithoutItsNul)
{
    const Parsed p = Parse("HKLM,K,V,0,Hello");
    const RegistryValue value = ValueOf(p.line);
    EXPECT_STREQ(value.name, "V");
    EXPECT_EQ(value.type, kRegistryString);
    EXPECT_EQ(value.count, 5u);
    EXPECT_EQ(value.data, p.line.bytes);
}

struct FlagCase {
    const char* flag;
    std::uint32_t type;
};

class TypeFlagTable : public ::testing::TestWithParam<FlagCase> {};

TEST_P(TypeFlagTable, OnlyTheFirstCharacterCounts)
{
    const Parsed p = Parse(std::string("HKLM,K,V,") + GetParam().flag + ",41,42");
    ASSERT_TRUE(p.applied);
    EXPECT_EQ(p.line.type, GetParam().type) << "flag \"" << GetParam().flag << '"';
    const Bytes data = GetParam().type == kRegistryBinary ? Bytes{0x41, 0x42} : BytesOf("41");
    EXPECT_EQ(WrittenBy(p.line).bytes, data);
}

INSTANTIATE_TEST_SUITE_P(Flags, TypeFlagTable, ::testing::Values(
    FlagCase{"1", kRegistryBinary}, FlagCase{"10", kRegistryBinary},
    FlagCase{"1x", kRegistryBinary}, FlagCase{" 1 ", kRegistryBinary},
    FlagCase{"0", kRegistryString}, FlagCase{"2", kRegistryString},
    FlagCase{"01", kRegistryString}, FlagCase{"", kRegistryString}));

// Lines that write nothing, each with the fault that says why.
struct RefusedCase {
    const char* name;
    std::string text;
    RegistryLineFault fault;
    std::string product = "Pad";
    std::string classKey = kClassKey;
};

class RefusedLine : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedLine, WritesNothing)
{
    const RefusedCase& c = GetParam();
    const Parsed p = Parse(c.text, c.classKey.c_str(), c.product.c_str());
    EXPECT_FALSE(p.applied) << c.text;
    EXPECT_EQ(p.line.fault, c.fault) << c.text;
    if (c.fault == RegistryLineFault::UnknownRoot) {
        EXPECT_EQ(p.line.root, RegistryRoot::None);
    }
    if (c.fault == RegistryLineFault::KeyPathTooLong) {
        EXPECT_STREQ(p.line.keyPath, "");
    }
}

constexpr RegistryLineFault kUnknownRoot = RegistryLineFault::UnknownRoot;
constexpr RegistryLineFault kFieldTooLong = RegistryLineFault::FieldTooLong;
constexpr RegistryLineFault kTypeFlagTooLong = RegistryLineFault::TypeFlagTooLong;

// A field of more than 127 characters would be cut by the field scanner and so name a wrong key
// or value, or write a wrong text: the line is passed over.
INSTANTIATE_TEST_SUITE_P(Lines, RefusedLine, ::testing::Values(
    RefusedCase{"LongRootName", "HKEY_LOCAL_MACHINE,SOFTWARE\\Pad,V,,x", kUnknownRoot},
    RefusedCase{"ShortClassesRoot", "HKCR,Pad,V,,x", kUnknownRoot},
    RefusedCase{"LowerCaseRoot", "hklm,SOFTWARE\\Pad,V,,x", kUnknownRoot},
    RefusedCase{"MixedCaseHkr", "Hkr,Pad,V,,x", kUnknownRoot},
    RefusedCase{"MixedCaseClassesRoot", "HKEY_CLASSES_root,Pad,V,,x", kUnknownRoot},
    RefusedCase{"CurrentUserRoot", "HKEY_CURRENT_USER,Pad,V,,x", kUnknownRoot},
    RefusedCase{"MisspeltRoot", "HK-LM,Pad,V,,x", kUnknownRoot},
    RefusedCase{"CommentLine", "; HKLM,Pad,V,,x", kUnknownRoot},
    RefusedCase{"MarkerInLowerCase", "[registry_begin]", kUnknownRoot},
    RefusedCase{"BlankLine", " ", kUnknownRoot},
    RefusedCase{"EmptyLine", "", kUnknownRoot},
    RefusedCase{"RootNameOfFortyCharacters", "HKLM" + std::string(36, ' ') + "x,K,V,,x",
                kUnknownRoot},
    RefusedCase{"HkrWithoutDeviceClassKey", "HKR,Settings,Gain,,5",
                RegistryLineFault::NoDeviceClassKey, "Pad", ""},
    RefusedCase{"TypeFlagOfFortyCharacters", "HKLM,K,V,1" + std::string(39, 'x') + ",ab",
                kTypeFlagTooLong},
    RefusedCase{"TypeFlagOf151Characters", "HKLM,K,V,1" + std::string(150, 'x') + ",ab",
                kTypeFlagTooLong},
    RefusedCase{"SubkeyOf128Characters", "HKLM," + std::string(128, 'f') + ",V,,x", kFieldTooLong},
    RefusedCase{"ValueNameOf128Characters", "HKLM,K," + std::string(128, 'f') + ",,x",
                kFieldTooLong},
    RefusedCase{"DataOf128Characters", "HKLM,K,V,," + std::string(128, 'f'), kFieldTooLong},
    // 126 characters, a blank and one more: the scanner would keep 126 and drop the rest.
    RefusedCase{"FieldCutAtABlank", "HKLM," + std::string(126, 'k') + " x,V,,x", kFieldTooLong},
    RefusedCase{"ReplacedDataOver127Characters", "HKLM,K,V,,%s" + std::string(125, 'd'),
                RegistryLineFault::DataTooLong},
    RefusedCase{"ReplacedSubkeyOver255Characters", "HKLM,%s" + std::string(125, 'k') + ",V,,x",
                RegistryLineFault::SubkeyTooLong, std::string(131, 'p'), ""},
    RefusedCase{"HkrPathOf256Characters", "HKR,%s" + std::string(105, 'k') + ",V,,x",
                RegistryLineFault::KeyPathTooLong, std::string(31, 'p'), std::string(79, 'c')}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

TEST(RegistryLineLimits, LineOver255CharactersPassesOver)
{
    const std::string longest = "HKLM," + k127 + "," + std::string(122, 'n');
    ASSERT_EQ(longest.size(), 255u);
    EXPECT_TRUE(Parse(longest).applied);
    const Parsed over = Parse(longest + "n");
    EXPECT_FALSE(over.applied);
    EXPECT_EQ(over.line.fault, RegistryLineFault::LineTooLong);
}

TEST(RegistryLineLimits, LongestBinaryLineStaysInTheByteHolder)
{
    // Single-digit fields as far as a line of 255 characters reaches.
    std::string text = "HKLM,K,V,1,0";
    std::size_t fields = 1;
    while (text.size() + 2 <= 255) {
        text += ",";
        text += static_cast<char>('0' + fields % 10);
        ++fields;
    }
    const Parsed p = Parse(text);
    ASSERT_TRUE(p.applied);
    EXPECT_EQ(p.line.count, fields);
    EXPECT_LE(p.line.count, kRegistryDataSize);
    EXPECT_EQ(p.line.bytes[fields - 1], (fields - 1) % 10);
}

// Lines of every odd shape: whatever the parser makes of them stays inside its holders and is
// consistent. Run with AddressSanitizer to catch any write past a buffer.
TEST(RegistryLineLimits, OddLinesStayInsideTheirHolders)
{
    const std::string alphabet = "HKLMR,,,\"\" %s1aF\t\\x";
    const char* const roots[] = {"HKLM,", "HKR,", "HKEY_CLASSES_ROOT,", ""};
    std::mt19937 random(20240607);
    int applied = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text = roots[random() % 4];
        const std::size_t length = random() % 300;
        while (text.size() < length) {
            text += alphabet[random() % alphabet.size()];
        }
        if (random() % 8 == 0) {
            text.insert(text.size() / 2, std::string(random() % 140, 'w'));
        }
        const std::string product(random() % 60, 'p');
        const std::string classKey(random() % 80, 'c');
        RegistryLine line;
        std::memset(&line, 0xCC, sizeof line);
        const bool ok = ParseRegistryLine(classKey.c_str(), product.c_str(), text.c_str(), line);
        ASSERT_EQ(ok, line.fault == RegistryLineFault::None) << text;
        ASSERT_LT(std::strlen(line.valueName), kValueNameSize);
        if (!ok) {
            continue;
        }
        ++applied;
        ASSERT_LT(std::strlen(line.keyPath), kRegistryKeyPathSize) << text;
        ASSERT_LE(line.count, kRegistryDataSize) << text;
        if (line.type == kRegistryString) {
            ASSERT_LT(line.count, kRegistryDataSize) << text;
            ASSERT_EQ(std::memchr(line.bytes, '\0', line.count), nullptr) << text;
        } else {
            ASSERT_EQ(line.type, kRegistryBinary);
            ASSERT_GE(line.count, 1u);
        }
    }
    EXPECT_GT(applied, 1000); // the rounds did reach the writing paths
}


} // namespace
