#include "install/registry_line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

const std::string kClassPrefix = "System\\CurrentControlSet\\Services\\Class\\";

std::vector<std::uint8_t> BytesOf(const RegistryLine& line)
{
    return std::vector<std::uint8_t>(line.bytes, line.bytes + line.count);
}

std::vector<std::uint8_t> BytesOf(const std::string& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
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
    HexCase{"01", 0x01},
    HexCase{"0a", 0x0A},
    HexCase{"0A", 0x0A},
    HexCase{"ff", 0xFF},
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

TEST(ReplaceProductName, PutsTheNameInPlaceOfPercentS)
{
    char out[kSubkeySize];
    ASSERT_TRUE(ReplaceProductName("SOFTWARE\\%s", "Pad", out, sizeof out));
    EXPECT_STREQ(out, "SOFTWARE\\Pad");
    ASSERT_TRUE(ReplaceProductName("%s", "Pad", out, sizeof out));
    EXPECT_STREQ(out, "Pad");
    ASSERT_TRUE(ReplaceProductName("A%sB\\C", "Quorra Pad", out, sizeof out));
    EXPECT_STREQ(out, "AQuorra PadB\\C");
    ASSERT_TRUE(ReplaceProductName("x%s", "", out, sizeof out));
    EXPECT_STREQ(out, "x");
    // Only the first: a field that holds "%s" holds no other directive.
    ASSERT_TRUE(ReplaceProductName("%s-%s", "Pad", out, sizeof out));
    EXPECT_STREQ(out, "Pad-%s");
}

TEST(ReplaceProductName, FieldWithoutPercentSIsTakenUnchanged)
{
    char out[kRegistryDataSize];
    for (const char* field : {"100%", "%", "%d", "%S", "a % s", ""}) {
        ASSERT_TRUE(ReplaceProductName(field, "Pad", out, sizeof out));
        EXPECT_STREQ(out, field);
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

Parsed Parse(const std::string& text, const char* classKey = "MEDIA\\0001",
             const char* product = "Pad")
{
    Parsed p{};
    p.applied = ParseRegistryLine(classKey, product, text.c_str(), p.line);
    return p;
}

TEST(RegistryLine, RootAndSubkeyOnlyMakeAnEmptyDefaultString)
{
    const Parsed p = Parse("HKLM,SOFTWARE\\Pad");
    ASSERT_TRUE(p.applied);
    EXPECT_EQ(p.line.fault, RegistryLineFault::None);
    EXPECT_EQ(p.line.root, RegistryRoot::LocalMachine);
    EXPECT_STREQ(p.line.keyPath, "SOFTWARE\\Pad");
    EXPECT_STREQ(p.line.valueName, "");
    EXPECT_EQ(p.line.type, kRegistryString);
    EXPECT_EQ(p.line.count, 0u);
}

TEST(RegistryLine, ProductNameReplacesPercentSInSubkeyAndData)
{
    const Parsed p = Parse("HKLM, SOFTWARE\\%s , Name ,, %s");
    ASSERT_TRUE(p.applied);
    EXPECT_STREQ(p.line.keyPath, "SOFTWARE\\Pad");
    EXPECT_STREQ(p.line.valueName, "Name");
    EXPECT_EQ(p.line.type, kRegistryString);
    EXPECT_EQ(BytesOf(p.line), BytesOf("Pad"));
    EXPECT_EQ(p.line.count, 3u);
}

TEST(RegistryLine, StringIsCountedWithoutItsNul)
{
    const Parsed p = Parse("HKLM,K,V,0,Hello");
    ASSERT_TRUE(p.applied);
    EXPECT_EQ(p.line.count, 5u);
    EXPECT_EQ(BytesOf(p.line), BytesOf("Hello"));
    const RegistryValue value = ValueOf(p.line);
    EXPECT_STREQ(value.name, "V");
    EXPECT_EQ(value.type, kRegistryString);
    EXPECT_EQ(value.count, 5u);
    EXPECT_EQ(value.data, p.line.bytes);
}

TEST(RegistryLine, QuotedFieldsKeepTheirCommas)
{
    const Parsed p = Parse("HKEY_CLASSES_ROOT,\"Pad,Files\",\"a, b\",,\"x, y\"");
    ASSERT_TRUE(p.applied);
    EXPECT_EQ(p.line.root, RegistryRoot::ClassesRoot);
    EXPECT_STREQ(p.line.keyPath, "Pad,Files");
    EXPECT_STREQ(p.line.valueName, "a, b");
    EXPECT_EQ(BytesOf(p.line), BytesOf("x, y"));
}

TEST(RegistryLine, BinaryValueTakesOneByteFromEachField)
{
    const Parsed p = Parse("HKLM,K,V,1,01, 0a, ff, 7");
    ASSERT_TRUE(p.applied);
    EXPECT_EQ(p.line.type, kRegistryBinary);
    EXPECT_EQ(BytesOf(p.line), (std::vector<std::uint8_t>{0x01, 0x0A, 0xFF, 0x07}));
    EXPECT_EQ(p.line.count, 4u);
}

TEST(RegistryLine, BinaryValueEndsAtTheFirstEmptyField)
{
    const Parsed p = Parse("HKLM,K,V,1,01,,02");
    ASSERT_TRUE(p.applied);
    EXPECT_EQ(BytesOf(p.line), (std::vector<std::uint8_t>{0x01}));
    const Parsed trailing = Parse("HKLM,K,V,1,01,02,");
    EXPECT_EQ(BytesOf(trailing.line), (std::vector<std::uint8_t>{0x01, 0x02}));
}

TEST(RegistryLine, EmptyBinaryDataGivesTheByteZero)
{
    for (const char* text : {"HKLM,K,V,1", "HKLM,K,V,1,"}) {
        const Parsed p = Parse(text);
        ASSERT_TRUE(p.applied) << text;
        EXPECT_EQ(p.line.type, kRegistryBinary) << text;
        EXPECT_EQ(BytesOf(p.line), (std::vector<std::uint8_t>{0x00})) << text;
    }
    // The data field always gives the first byte, empty or not; the fields after it go on.
    const Parsed p = Parse("HKLM,K,V,1,,05");
    EXPECT_EQ(BytesOf(p.line), (std::vector<std::uint8_t>{0x00, 0x05}));
}

TEST(RegistryLine, BinaryFirstByteComesFromTheReplacedData)
{
    // "%s" with the product "Ab" gives "Ab": the pair A, b.
    const Parsed p = Parse("HKLM,K,V,1,%s,12", "MEDIA\\0001", "Ab");
    ASSERT_TRUE(p.applied);
    EXPECT_EQ(BytesOf(p.line), (std::vector<std::uint8_t>{0xAB, 0x12}));
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
    if (GetParam().type == kRegistryBinary) {
        EXPECT_EQ(BytesOf(p.line), (std::vector<std::uint8_t>{0x41, 0x42}));
    } else {
        EXPECT_EQ(BytesOf(p.line), BytesOf("41"));
    }
}

INSTANTIATE_TEST_SUITE_P(Flags, TypeFlagTable, ::testing::Values(
    FlagCase{"1", kRegistryBinary},
    FlagCase{"10", kRegistryBinary},
    FlagCase{"1x", kRegistryBinary},
    FlagCase{" 1 ", kRegistryBinary},
    FlagCase{"0", kRegistryString},
    FlagCase{"2", kRegistryString},
    FlagCase{"01", kRegistryString},
    FlagCase{"", kRegistryString}));

TEST(RegistryLine, HkrWritesBelowTheDeviceClassKey)
{
    const Parsed p = Parse("HKR,Settings\\%s,Gain,,5");
    ASSERT_TRUE(p.applied);
    EXPECT_EQ(p.line.root, RegistryRoot::LocalMachine);
    EXPECT_EQ(std::string(p.line.keyPath), kClassPrefix + "MEDIA\\0001\\Settings\\Pad");
}

TEST(RegistryLine, HkrWithoutSubkeyNamesTheClassKeyItself)
{
    const Parsed p = Parse("HKR,,Driver,,vjoyd.vxd");
    ASSERT_TRUE(p.applied);
    EXPECT_EQ(std::string(p.line.keyPath), kClassPrefix + "MEDIA\\0001");
}

TEST(RegistryLine, HkrWithoutDeviceClassKeyWritesNothing)
{
    const Parsed p = Parse("HKR,Settings,Gain,,5", "");
    EXPECT_FALSE(p.applied);
    EXPECT_EQ(p.line.fault, RegistryLineFault::NoDeviceClassKey);
    // Lines of the other roots do not need it.
    EXPECT_TRUE(Parse("HKLM,Settings,Gain,,5", "").applied);
}

class UnknownRootTable : public ::testing::TestWithParam<const char*> {};

TEST_P(UnknownRootTable, LineWritesNothing)
{
    const Parsed p = Parse(GetParam());
    EXPECT_FALSE(p.applied) << GetParam();
    EXPECT_EQ(p.line.fault, RegistryLineFault::UnknownRoot) << GetParam();
    EXPECT_EQ(p.line.root, RegistryRoot::None);
}

INSTANTIATE_TEST_SUITE_P(Roots, UnknownRootTable, ::testing::Values(
    "HKEY_LOCAL_MACHINE,SOFTWARE\\Pad,V,,x",
    "HKCR,Pad,V,,x",
    "hklm,SOFTWARE\\Pad,V,,x",
    "Hkr,Pad,V,,x",
    "HKEY_CLASSES_root,Pad,V,,x",
    "HKEY_CURRENT_USER,Pad,V,,x",
    "HK-LM,Pad,V,,x",
    "; HKLM,Pad,V,,x",
    "[registry_begin]",
    " ",
    ""));

TEST(RegistryLine, BlanksAroundTheRootNameAreDropped)
{
    EXPECT_TRUE(Parse("  HKLM  ,K,V,,x").applied);
    EXPECT_TRUE(Parse("\"HKLM\",K,V,,x").applied);
}

// ---- limits ----

TEST(RegistryLineLimits, RootNameOfFortyCharactersIsNoRoot)
{
    const Parsed p = Parse("HKLM" + std::string(36, ' ') + "x,K,V,,x");
    EXPECT_FALSE(p.applied);
    EXPECT_EQ(p.line.fault, RegistryLineFault::UnknownRoot);
}

TEST(RegistryLineLimits, TypeFlagOfFortyCharactersPassesTheLineOver)
{
    const Parsed fits = Parse("HKLM,K,V,1" + std::string(38, 'x') + ",ab");
    ASSERT_TRUE(fits.applied);
    EXPECT_EQ(fits.line.type, kRegistryBinary);
    const Parsed over = Parse("HKLM,K,V,1" + std::string(39, 'x') + ",ab");
    EXPECT_FALSE(over.applied);
    EXPECT_EQ(over.line.fault, RegistryLineFault::TypeFlagTooLong);
    const Parsed farOver = Parse("HKLM,K,V,1" + std::string(150, 'x') + ",ab");
    EXPECT_FALSE(farOver.applied);
    EXPECT_EQ(farOver.line.fault, RegistryLineFault::TypeFlagTooLong);
}

TEST(RegistryLineLimits, FieldsOf127CharactersFit)
{
    const std::string key(127, 'k');
    const std::string name(127, 'n');
    const std::string data(127, 'd');
    // Each on a line of its own: together they would not fit in one line.
    const Parsed k = Parse("HKLM," + key + ",V,,x");
    ASSERT_TRUE(k.applied);
    EXPECT_EQ(std::string(k.line.keyPath), key);
    const Parsed n = Parse("HKLM,K," + name + ",,x");
    ASSERT_TRUE(n.applied);
    EXPECT_EQ(std::string(n.line.valueName), name);
    const Parsed d = Parse("HKLM,K,V,," + data);
    ASSERT_TRUE(d.applied);
    EXPECT_EQ(BytesOf(d.line), BytesOf(data));
}

class OverlongFieldTable : public ::testing::TestWithParam<int> {};

// A field of more than 127 characters would be cut by the field scanner and so name a wrong key
// or value, or write a wrong text: the line is passed over.
TEST_P(OverlongFieldTable, LineIsPassedOver)
{
    std::vector<std::string> fields = {"HKLM", "K", "V", "", "x"};
    fields[GetParam()] = std::string(128, 'f');
    const Parsed p = Parse(fields[0] + "," + fields[1] + "," + fields[2] + "," + fields[3] + "," +
                           fields[4]);
    EXPECT_FALSE(p.applied);
    EXPECT_EQ(p.line.fault, RegistryLineFault::FieldTooLong);
}

INSTANTIATE_TEST_SUITE_P(SubkeyNameData, OverlongFieldTable, ::testing::Values(1, 2, 4));

TEST(RegistryLineLimits, FieldLengthIsCountedAsTheScannerKeepsIt)
{
    // Blanks around a field and quotes are not part of it.
    const std::string padded = "   \"" + std::string(127, 'k') + "\"   ";
    EXPECT_TRUE(Parse("HKLM," + padded + ",V,,x").applied);
    const std::string quoted = "\"" + std::string(60, 'k') + "\"\"" + std::string(67, 'k') + "\"";
    EXPECT_TRUE(Parse("HKLM," + quoted + ",V,,x").applied);
    // 126 characters, a blank and one more: the scanner would keep 126 and drop the rest.
    const std::string cut = std::string(126, 'k') + " x";
    const Parsed p = Parse("HKLM," + cut + ",V,,x");
    EXPECT_FALSE(p.applied);
    EXPECT_EQ(p.line.fault, RegistryLineFault::FieldTooLong);
    // Trailing blanks beyond 127 characters are trimmed anyway: nothing is lost.
    EXPECT_TRUE(Parse("HKLM," + std::string(127, 'k') + "     ,V,,x").applied);
}

TEST(RegistryLineLimits, ReplacedDataOver127CharactersPassesTheLineOver)
{
    const Parsed fits = Parse("HKLM,K,V,,%s" + std::string(124, 'd'));
    ASSERT_TRUE(fits.applied);
    EXPECT_EQ(fits.line.count, 127u);
    const Parsed over = Parse("HKLM,K,V,,%s" + std::string(125, 'd'));
    EXPECT_FALSE(over.applied);
    EXPECT_EQ(over.line.fault, RegistryLineFault::DataTooLong);
}

TEST(RegistryLineLimits, ReplacedSubkeyOver255CharactersPassesTheLineOver)
{
    // Product names are far shorter in practice; the parser holds to the limit whatever it gets.
    const std::string subkey = "HKLM,%s" + std::string(125, 'k') + ",V,,x";
    const Parsed fits = Parse(subkey, "", std::string(130, 'p').c_str());
    ASSERT_TRUE(fits.applied);
    EXPECT_EQ(std::strlen(fits.line.keyPath), 255u);
    const Parsed over = Parse(subkey, "", std::string(131, 'p').c_str());
    EXPECT_FALSE(over.applied);
    EXPECT_EQ(over.line.fault, RegistryLineFault::SubkeyTooLong);
}

TEST(RegistryLineLimits, HkrPathOf256CharactersPassesTheLineOver)
{
    // 40 characters of class root, a class key of 79, a backslash and the subkey.
    const std::string classKey(79, 'c');
    const std::string product(31, 'p');
    const Parsed fits =
        Parse("HKR,%s" + std::string(104, 'k') + ",V,,x", classKey.c_str(), product.c_str());
    ASSERT_TRUE(fits.applied);
    EXPECT_EQ(std::strlen(fits.line.keyPath), 255u);
    const Parsed over =
        Parse("HKR,%s" + std::string(105, 'k') + ",V,,x", classKey.c_str(), product.c_str());
    EXPECT_FALSE(over.applied);
    EXPECT_EQ(over.line.fault, RegistryLineFault::KeyPathTooLong);
    EXPECT_STREQ(over.line.keyPath, "");
}

TEST(RegistryLineLimits, LineOver255CharactersPassesOver)
{
    const std::string longest = "HKLM," + std::string(127, 'k') + "," + std::string(122, 'n');
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
