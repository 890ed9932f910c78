// The install record's lines: written, read back, torn or tampered with; and the table that finds
// each thing's lines in a whole record.
#include "record/install_record.h"
#include "record/record_index.h"
#include "common/record_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace record_lines;

TEST(InstallRecord, TextsComeBackWhateverTheyHold)
{
    const std::string awkward[] = {
        "C:\\Program Files\\Kestrel\\README.TXT",
        "100% sure\twith a tab",
        std::string("line\r\nbreak, \x01 control, \x7F delete, \xE9t\xE9"),
        "",
        "%41 is not an escape",
    };
    for (const std::string& text : awkward) {
        const std::string line = Line(kRecordPending, {text, "second"});
        // Written lines are plain text of one line: nothing in them breaks the line or a field.
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 2) << line;
        EXPECT_EQ(line.find_first_of("\r\n"), line.size() - 2) << line;
        const std::vector<RecordLine> read = ReadAll(line);
        ASSERT_EQ(read.size(), 1u) << line;
        EXPECT_EQ(read[0].kind, kRecordPending);
        EXPECT_EQ(Decoded(read[0].fields[0]), text);
        EXPECT_EQ(Decoded(read[0].fields[1]), "second");
        EXPECT_TRUE(RecordFieldIs(read[0].fields[0], text.c_str()));
    }
}

TEST(InstallRecord, RegistryDataComesBackByteForByte)
{
    const struct {
        bool present;
        std::uint32_t type;
        Bytes bytes;
    } table[] = {
        {false, 0, {}},
        {true, 1, {'1', '.', '2', '0', 0}}, // a string as the registry gives it back
        {true, 3, {}},                      // an empty binary value
        {true, 4, {0x01, 0x00, 0x00, 0x00}},
        {true, 4294967295u, {0xFF}},
        {true, 3, Bytes(16300, 0xA5)}, // the largest value Windows 95 holds
    };
    for (const auto& row : table) {
        const std::string line =
            ValueLine(kRecordBefore, "Version", row.present, row.type, row.bytes);
        const std::vector<RecordLine> read = ReadAll(line);
        ASSERT_EQ(read.size(), 1u) << row.bytes.size();
        Bytes bytes(16384);
        RecordData data{};
        ASSERT_TRUE(DecodeRecordData(read[0].fields[3], bytes.data(), bytes.size(), data));
        EXPECT_EQ(data.present, row.present);
        if (row.present) {
            EXPECT_EQ(data.type, row.type);
            EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + data.count), row.bytes);
        }
    }
}

TEST(InstallRecord, DamagedLinesAreSkippedAndATornEndIsNoLine)
{
    const std::string first = Line(kRecordHeader, {"C:\\KESTREL"});
    const std::string second = Line(kRecordFolder, {"C:\\KESTREL\\UTILS"});
    const std::string third = Line(kRecordFile, {"C:\\KESTREL\\README.TXT", "o", "1A", "FF"});
    std::string flipped = second;
    flipped[12] ^= 0x20; // one letter of the path in the other case
    std::string badCheck = second;
    badCheck[0] = badCheck[0] == 'A' ? 'B' : 'A';
    const std::string unknownKind = "12345678 Z\tx\r\n";
    const std::string lfOnly = second.substr(0, second.size() - 2) + "\n";
    const std::string torn = third.substr(0, third.size() - 1);

    const struct {
        std::string text;
        std::size_t lines;   // read
        std::size_t damaged; // skipped
        std::size_t whole;   // bytes of whole lines, damaged or not
    } table[] = {
        {first + second + third, 3, 0, first.size() + second.size() + third.size()},
        // A stopped setup's last line: no damage, and cut off by the next writer.
        {first + second + torn, 2, 0, first.size() + second.size()},
        {first + second.substr(0, 20), 1, 0, first.size()},
        {first + flipped + third, 2, 1, first.size() + flipped.size() + third.size()},
        {first + badCheck + third, 2, 1, first.size() + badCheck.size() + third.size()},
        {first + unknownKind + third, 2, 1, first.size() + unknownKind.size() + third.size()},
        {first + badCheck + flipped + torn, 1, 2, first.size() + badCheck.size() + flipped.size()},
        {first + lfOnly + third, 3, 0, first.size() + lfOnly.size() + third.size()},
        {"", 0, 0, 0},
        {std::string(1, '\n') + first, 1, 1, 1 + first.size()},
    };
    for (const auto& row : table) {
        std::size_t damaged = 0;
        EXPECT_EQ(ReadAll(row.text, &damaged).size(), row.lines) << row.text;
        EXPECT_EQ(damaged, row.damaged) << row.text;
        EXPECT_EQ(WholeRecordLength(row.text.data(), row.text.size()), row.whole) << row.text;
        EXPECT_EQ(Indexed(row.text).index.damaged, row.damaged) << row.text;
    }
}

TEST(InstallRecord, LinesOfTheWrongShapeAreNotRead)
{
    // Each line carries a good check for its content; the content is wrong for its kind.
    const auto withCheck = [](const std::string& content) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08X",
                      static_cast<unsigned>(RecordCheck(content.data(), content.size())));
        return std::string(digits) + " " + content + "\r\n";
    };
    for (const std::string& content :
         {std::string("F\tC:\\ONLY-A-PATH"), std::string("F\tC:\\A\to\t1A"), std::string("H"),
          std::string("Hjunk\tC:\\X"), std::string("B\ta\tb\tc\td\te"),
          std::string("D\tC:\\A\tC:\\B")}) {
        std::size_t damaged = 0;
        EXPECT_TRUE(ReadAll(withCheck(content), &damaged).empty()) << content;
        EXPECT_EQ(damaged, 1u) << content;
    }
    EXPECT_EQ(ReadAll(withCheck("D\tC:\\A")).size(), 1u);
    // A file line of an earlier record, without length and sum, still reads.
    EXPECT_EQ(ReadAll(withCheck("F\tC:\\A\to")).size(), 1u);
}

TEST(InstallRecord, BadTextsAndDataAreRefused)
{
    const auto field = [](const char* text) { return RecordField{text, std::strlen(text)}; };
    char out[16];
    EXPECT_FALSE(DecodeRecordText(field("C:%00\\X"), out, sizeof out)); // a NUL would cut a path
    EXPECT_FALSE(DecodeRecordText(field("50%"), out, sizeof out));
    EXPECT_FALSE(DecodeRecordText(field("%4"), out, sizeof out));
    EXPECT_FALSE(DecodeRecordText(field("%zz"), out, sizeof out));
    EXPECT_FALSE(DecodeRecordText(field("sixteen letters!"), out, sizeof out));
    EXPECT_TRUE(DecodeRecordText(field("fifteen letters"), out, sizeof out));

    std::uint8_t bytes[4];
    RecordData data{};
    for (const char* bad :
         {"", "1", ":00", "1:0", "1:0G", "x:00", "12345678901:00", "3:0000000000"}) {
        EXPECT_FALSE(DecodeRecordData(field(bad), bytes, sizeof bytes, data)) << bad;
    }
    EXPECT_TRUE(DecodeRecordData(field("-"), bytes, sizeof bytes, data));
    EXPECT_FALSE(data.present);
}

TEST(InstallRecord, ALineThatDoesNotFitIsNotWritten)
{
    char out[24];
    RecordLineBuilder line;
    BeginRecordLine(line, out, sizeof out, kRecordFolder);
    AddRecordText(line, "C:\\A FOLDER OF A LONG NAME");
    EXPECT_EQ(FinishRecordLine(line), 0u);
    BeginRecordLine(line, out, sizeof out, kRecordFolder);
    AddRecordText(line, "C:\\SHORT");
    EXPECT_EQ(FinishRecordLine(line), 21u); // "CHECKSUM D<TAB>C:\SHORT<CR><LF>"
}

TEST(InstallRecord, TheFolderIsNamedByTheFirstLine)
{
    char folder[kMostRecordPath];
    const std::string record = Line(kRecordHeader, {"C:\\KESTREL"}) +
                               Line(kRecordProduct, {"C:\\KESTREL", "Kestrel Gamepad"});
    ASSERT_TRUE(RecordFolder(record.data(), record.size(), folder, sizeof folder));
    EXPECT_STREQ(folder, "C:\\KESTREL");
    // A line is found by one of its fields, ASCII case ignored; a field it does not have is none.
    const auto holds = [&](char kind, int field, const char* value) {
        return RecordHoldsText(record.data(), record.size(), kind, field, value);
    };
    EXPECT_TRUE(holds(kRecordProduct, 1, "KESTREL GAMEPAD"));
    EXPECT_FALSE(holds(kRecordProduct, 0, "Kestrel Gamepad"));
    // A field is the whole text, not its start, nor the text's start.
    EXPECT_FALSE(holds(kRecordProduct, 1, "Kestrel"));
    EXPECT_FALSE(holds(kRecordProduct, 1, "Kestrel Gamepad 2"));
    EXPECT_FALSE(holds(kRecordHeader, 1, "C:\\KESTREL"));
    const std::string headless = Line(kRecordProduct, {"C:\\KESTREL", "Kestrel Gamepad"});
    EXPECT_FALSE(RecordFolder(headless.data(), headless.size(), folder, sizeof folder));
    // A damaged header is no header, even with a whole header after it.
    std::string damaged = record;
    damaged[0] = damaged[0] == 'A' ? 'B' : 'A';
    EXPECT_FALSE(RecordFolder(damaged.data(), damaged.size(), folder, sizeof folder));
}

// ---- the table over a whole record

TEST(RecordIndex, AThingIsNamedOnceWhateverTheCaseOfItsName)
{
    const Indexed indexed(Line(kRecordFile, {"C:\\KESTREL\\README.TXT", "o"}) +
                          Line(kRecordFile, {"c:\\kestrel\\readme.txt", "eo"}) +
                          Line(kRecordFile, {"C:\\KESTREL\\README.TX", "o"}));
    std::vector<std::string> firsts;
    ForEachFirstLine(indexed.index, kRecordFile,
                     [&](const RecordLine& line) { firsts.push_back(Decoded(line.fields[0])); });
    EXPECT_EQ(firsts,
              (std::vector<std::string>{"C:\\KESTREL\\README.TXT", "C:\\KESTREL\\README.TX"}));
    RecordLine found;
    ASSERT_TRUE(FindRecordText(indexed.index, kRecordFile, "C:\\Kestrel\\Readme.txt", true, found));
    EXPECT_EQ(Decoded(found.fields[1]), "eo");
    // Neither the start of a name nor a longer one is the name.
    EXPECT_FALSE(FindRecordText(indexed.index, kRecordFile, "C:\\KESTREL\\README.T", false, found));
    EXPECT_FALSE(FindRecordText(indexed.index, kRecordFile, "C:\\KESTREL\\README.TXT2", false,
                                found));
    EXPECT_FALSE(FindRecordText(indexed.index, kRecordFolder, "C:\\KESTREL\\README.TXT", false,
                                found));
}

TEST(RecordIndex, ManyThingsAreEachFoundWithTheirFirstAndLastLinesAndWalkedBackwards)
{
    // Enough things for many hash collisions in the table's probes.
    constexpr int kFiles = 5000;
    std::string record = Line(kRecordHeader, {"C:\\KESTREL"});
    const auto path = [](int i) { return "C:\\KESTREL\\F" + std::to_string(i); };
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < kFiles; ++i) {
            record += Line(kRecordFile, {path(i), round == 0 ? "o" : "eo"});
            record += Line(kRecordFolder, {path(i)});
        }
    }
    const Indexed indexed(record);
    ASSERT_EQ(indexed.index.lineCount, 1u + 4 * kFiles);
    for (int i = 0; i < kFiles; i += 7) {
        RecordLine first;
        RecordLine last;
        ASSERT_TRUE(FindRecordText(indexed.index, kRecordFile, path(i).c_str(), false, first));
        ASSERT_TRUE(FindRecordText(indexed.index, kRecordFile, path(i).c_str(), true, last));
        EXPECT_EQ(Decoded(first.fields[1]), "o");
        EXPECT_EQ(Decoded(last.fields[1]), "eo");
        EXPECT_TRUE(IsFirstRecordLine(indexed.index, first));
        EXPECT_FALSE(IsFirstRecordLine(indexed.index, last));
    }
    std::vector<std::string> folders;
    ForEachFirstLine(
        indexed.index, kRecordFolder,
        [&](const RecordLine& line) { folders.push_back(Decoded(line.fields[0])); }, true);
    ASSERT_EQ(folders.size(), static_cast<std::size_t>(kFiles));
    EXPECT_EQ(folders.front(), path(kFiles - 1));
    EXPECT_EQ(folders.back(), path(0));
}

} // namespace
