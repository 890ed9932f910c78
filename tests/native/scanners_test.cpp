#include "script/scanners.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct FieldCase {
    const char* text;
    const char* field;
    const char* rest; // what the next scan starts at
};

class SplitFieldTable : public ::testing::TestWithParam<FieldCase> {};

TEST_P(SplitFieldTable, TakesFieldAndStopsAfterItsComma)
{
    const FieldCase& c = GetParam();
    char field[kFieldSize];
    const char* next = SplitField(c.text, field);
    EXPECT_STREQ(field, c.field);
    EXPECT_STREQ(next, c.rest);
}

INSTANTIATE_TEST_SUITE_P(Fields, SplitFieldTable, ::testing::Values(
    FieldCase{"abc, def", "abc", " def"},
    FieldCase{"  abc  ,x", "abc", "x"},
    FieldCase{"\"a,b\" ,x", "a,b", "x"},
    FieldCase{"ab\"c,d", "abc", "d"},
    FieldCase{"\"a\"b\"c,d", "abc", "d"},
    FieldCase{"\" a \",x", " a", "x"},
    FieldCase{"\"   \",x", " ", "x"},
    FieldCase{",x", "", "x"},
    FieldCase{"   ,x", "", "x"},
    FieldCase{"", "", ""},
    FieldCase{"\"a,b", "a,b", ""},
    FieldCase{"a\tb ,c", "a\tb", "c"},
    FieldCase{"x\"y,z\",w", "xy", "z\",w"}));

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
    const char* value = "SETUP.EX_,SETUP.EXE";
    char fields[4][kFieldSize];
    const char* p = value;
    for (auto& field : fields) {
        p = SplitField(p, field);
    }
    EXPECT_STREQ(fields[0], "SETUP.EX_");
    EXPECT_STREQ(fields[1], "SETUP.EXE");
    EXPECT_STREQ(fields[2], "");
    EXPECT_STREQ(fields[3], "");
}

TEST(SplitField, FieldOf127CharactersFits)
{
    const std::string text = std::string(127, 'f') + ",next";
    char field[kFieldSize];
    const char* next = SplitField(text.c_str(), field);
    EXPECT_EQ(std::string(field), std::string(127, 'f'));
    EXPECT_STREQ(next, "next");
}

TEST(SplitField, LongerFieldIsCutButScanMovesPastAllOfIt)
{
    const std::string text = std::string(300, 'g') + ",next";
    char field[kFieldSize + 8];
    field[kFieldSize] = '#'; // a guard just past the caller's 128 bytes
    const char* next = SplitField(text.c_str(), reinterpret_cast<char(&)[kFieldSize]>(field));
    EXPECT_EQ(std::string(field), std::string(127, 'g'));
    EXPECT_EQ(field[kFieldSize], '#');
    EXPECT_STREQ(next, "next");
}

TEST(SplitField, QuotedPartNeverClosedTakesTheRestWithCommas)
{
    char field[kFieldSize];
    const char* text = "  \"one, two, three";
    EXPECT_EQ(*SplitField(text, field), '\0');
    EXPECT_STREQ(field, "one, two, three");
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

TEST(ReadLine, CarriageReturnAndLineFeedEachEndALine)
{
    EXPECT_EQ(Lines("A\r\nB\r\n"), "[A][][B][]");
}

TEST(ReadLine, LastLineWithoutBreakEndsAtEndOfText)
{
    EXPECT_EQ(Lines("A\nB"), "[A][B]");
}

TEST(ReadLine, LeadingLineFeedGivesEmptyLineFirst)
{
    EXPECT_EQ(Lines("\nX"), "[][X]");
}

TEST(ReadLine, NothingIsTrimmedOrSpecial)
{
    EXPECT_EQ(Lines("  [a] ; b\t\n"), "[  [a] ; b\t]");
}

TEST(ReadLine, EmptyTextGivesNullAndKeepsOutput)
{
    char line[kLineSize] = "before";
    EXPECT_EQ(ReadLine("", line), nullptr);
    EXPECT_STREQ(line, "before");
}

TEST(ReadLine, LineOf255CharactersFits)
{
    const std::string text = std::string(255, 'l') + "\nnext";
    char line[kLineSize];
    const char* next = ReadLine(text.c_str(), line);
    EXPECT_EQ(std::string(line), std::string(255, 'l'));
    EXPECT_STREQ(next, "next");
}

TEST(ReadLine, LongerLineIsCutButScanMovesPastAllOfIt)
{
    const std::string text = std::string(70000, 'm') + "\r\nnext";
    char line[kLineSize + 8];
    line[kLineSize] = '#';
    const char* next = ReadLine(text.c_str(), reinterpret_cast<char(&)[kLineSize]>(line));
    EXPECT_EQ(std::string(line), std::string(255, 'm'));
    EXPECT_EQ(line[kLineSize], '#');
    EXPECT_STREQ(next, "\nnext");
}

} // namespace
