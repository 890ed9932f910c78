#include "script/scanners.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct FieldCase {
    std::string text;
    std::string field;
    const char* rest; // what the next scan starts at
};

class SplitFieldTable : public ::testing::TestWithParam<FieldCase> {};

TEST_P(SplitFieldTable, TakesFieldAndStopsAfterItsComma)
{
    const FieldCase& c = GetParam();
    char field[kFieldSize];
    const char* next = SplitField(c.text.c_str(), field);
    EXPECT_EQ(std::string(field), c.field);
    EXPECT_STREQ(next, c.rest);
}

INSTANTIATE_TEST_SUITE_P(Fields, SplitFieldTable, ::testing::Values(
    FieldCase{"abc, def", "abc", " def"}, FieldCase{"  abc  ,x", "abc", "x"},
    FieldCase{"\"a,b\" ,x", "a,b", "x"}, FieldCase{"ab\"c,d", "abc", "d"},
    FieldCase{"\"a\"b\"c,d", "abc", "d"}, FieldCase{"\" a \",x", " a", "x"},
    FieldCase{"\"   \",x", " ", "x"}, FieldCase{",x", "", "x"}, FieldCase{"   ,x", "", "x"},
    FieldCase{"", "", ""}, FieldCase{"\"a,b", "a,b", ""}, FieldCase{"a\tb ,c", "a\tb", "c"},
    FieldCase{"x\"y,z\",w", "xy", "z\",w"},
    // A field of 127 characters fits.
    FieldCase{std::string(127, 'f') + ",next", std::string(127, 'f'), "next"},
    // A quoted part never closed takes the rest of the text, commas and all.
    FieldCase{"  \"one, two, three", "one, two, three", ""}));

TEST(SplitField, EmptyTextGivesEmptyFieldAndSamePositionEachTime)
{
    const char* text = "";
    char field[kFieldSize] = "old";
    EXPECT_EQ(SplitField(text, field), text);
    EXPECT_STREQ(field, "");
    EXPECT_EQ(SplitField(text, field), text);
}

TEST(SplitField, FourCallsOnTwoFieldsGiveTwoEmptyFieldsAfterThem)
{
    char fields[4][kFieldSize];
    const char* p = "SETUP.EX_,SETUP.EXE";
    for (auto& field : fields) {
        p = SplitField(p, field);
    }
    EXPECT_STREQ(fields[0], "SETUP.EX_");
    EXPECT_STREQ(fields[1], "SETUP.EXE");
    EXPECT_STREQ(fields[2], "");
    EXPECT_STREQ(fields[3], "");
}

// Scans `text` into a buffer of `Size` bytes with a guard just past it: the scan keeps at most
// Size - 1 characters, never writes past the buffer, and goes on at `rest`.
template <std::size_t Size>
void ExpectScan(const char* (*scan)(const char*, char (&)[Size]), const std::string& text,
                const std::string& kept, const char* rest)
{
    char buffer[Size + 8];
    buffer[Size] = '#';
    const char* next = scan(text.c_str(), reinterpret_cast<char(&)[Size]>(buffer));
    EXPECT_EQ(std::string(buffer), kept);
    EXPECT_EQ(buffer[Size], '#');
    EXPECT_STREQ(next, rest);
}

TEST(SplitField, LongerFieldIsCutButScanMovesPastAllOfIt)
{
    ExpectScan(SplitField, std::string(300, 'g') + ",next", std::string(127, 'g'), "next");
}

std::string Lines(const char* text)
{
    std::string all;
    char line[kLineSize] = "untouched";
    for (const char* p = text; (p = ReadLine(p, line)) != nullptr;) {
        all += "[" + std::string(line) + "]";
    }
    return all;
}

TEST(ReadLine, EachLineBreakEndsALineAndNothingIsTrimmed)
{
    const struct {
        const char* what;
        const char* text;
        const char* lines;
    } table[] = {
        {"carriage return and line feed each end a line", "A\r\nB\r\n", "[A][][B][]"},
        {"the last line without a break ends at the end of the text", "A\nB", "[A][B]"},
        {"a leading line feed gives an empty line first", "\nX", "[][X]"},
        {"nothing is trimmed or special", "  [a] ; b\t\n", "[  [a] ; b\t]"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(Lines(row.text), row.lines) << row.what;
    }
}

TEST(ReadLine, EmptyTextGivesNullAndKeepsOutput)
{
    char line[kLineSize] = "before";
    EXPECT_EQ(ReadLine("", line), nullptr);
    EXPECT_STREQ(line, "before");
}

TEST(ReadLine, LineOf255CharactersFits)
{
    ExpectScan(ReadLine, std::string(255, 'l') + "\nnext", std::string(255, 'l'), "next");
}

TEST(ReadLine, LongerLineIsCutButScanMovesPastAllOfIt)
{
    ExpectScan(ReadLine, std::string(70000, 'm') + "\r\nnext", std::string(255, 'm'), "\nnext");
}

} // namespace
