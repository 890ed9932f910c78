// The install record's reader over arbitrary bytes, as a torn or tampered UNINSTAL.DAT would
// give them: every line read lies whole inside the text, ends where the next one starts, and has
// its kind's fields inside it; every field either decodes into its holder (text without a NUL,
// or registry data within its buffer) or is refused; and what the uninstall makes of each line
// (the first line of its thing, a file's facts, a value's first and last data) stays inside the
// text too.
//
// A line's check stops all but one in four billion changed lines, so the fuzzer signs the lines it
// is given, and the changes reach the fields and what the uninstall makes of them. The first byte
// chooses: a multiple of four takes the rest as it is, every check as the bytes have it (the
// check's own reading); any other signs each line that does not begin with a check already (so
// that a signed record may hold lines whose check fails), and a last line without its line end
// stays torn.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "record/install_record.h"
#include "record/record_index.h"
#include "uninstall/recorded_changes.h"

namespace {

bool IsUpperHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// True when the line at `at` begins as a signed one does: eight upper-case hexadecimal digits and
// a blank.
bool HasCheck(const std::string& input, std::size_t at, std::size_t end)
{
    if (end - at <= kRecordCheckDigits || input[at + kRecordCheckDigits] != ' ') {
        return false;
    }
    for (std::size_t i = 0; i < kRecordCheckDigits; ++i) {
        if (!IsUpperHex(input[at + i])) {
            return false;
        }
    }
    return true;
}

// The record that `input` stands for: each line without a check gets the one that the setup
// would write before it, over the line up to its line end (CR LF or LF alone, as given).
std::string Signed(const std::string& input)
{
    std::string text;
    std::size_t at = 0;
    while (at < input.size()) {
        std::size_t end = input.find('\n', at);
        end = end == std::string::npos ? input.size() : end + 1;
        if (!HasCheck(input, at, end)) {
            std::size_t contentEnd = end;
            if (contentEnd > at && input[contentEnd - 1] == '\n') {
                --contentEnd;
                if (contentEnd > at && input[contentEnd - 1] == '\r') {
                    --contentEnd;
                }
            }
            char check[kRecordCheckDigits + 2];
            std::snprintf(check, sizeof check, "%08X ",
                          static_cast<unsigned>(RecordCheck(input.data() + at, contentEnd - at)));
            text.append(check, kRecordCheckDigits + 1);
        }
        text.append(input, at, end - at);
        at = end;
    }
    return text;
}

bool Inside(const std::string& text, const RecordField& field)
{
    return field.text >= text.data() && field.text + field.length <= text.data() + text.size();
}

void CheckFields(const std::string& text, const RecordLine& line)
{
    Require(line.fieldCount == RecordFieldCount(line.kind) ||
            (line.kind == kRecordFile && line.fieldCount == kOldFileFields));
    for (int i = 0; i < line.fieldCount; ++i) {
        const RecordField& field = line.fields[i];
        Require(Inside(text, field));
        char decoded[kMostRecordPath];
        if (DecodeRecordText(field, decoded, sizeof decoded)) {
            Require(std::strlen(decoded) <= field.length);
        } else {
            Require(decoded[0] == '\0');
        }
        std::uint8_t bytes[64];
        RecordData data{};
        if (DecodeRecordData(field, bytes, sizeof bytes, data)) {
            Require(data.count <= sizeof bytes && (data.present || data.count == 0));
        }
    }
}

void CheckMerges(const std::string& text, const RecordIndex& index, const RecordLine& line)
{
    RecordLine first;
    Require(FindRecordLine(index, line.kind, line, false, first) && first.start <= line.start);
    Require(IsFirstRecordLine(index, line) == (first.start == line.start));
    if (line.kind == kRecordFile) {
        const RecordedFile file = MergeFileLines(index, line);
        Require(!UninstallDeletesFile(file, false, false) || !file.windows);
        Require(!UninstallDeletesFile(file, true, true) || file.windows);
        // A file that is gone while uses are left is gone without them too; a newer file of the
        // product's folders that was there before and kept is someone else's and stays.
        Require(!UninstallDeletesFile(file, false, false) || UninstallDeletesFile(file, true, false));
        Require(!(file.existedBefore && file.kept && !file.windows) ||
                !UninstallDeletesFile(file, true, false));
    }
    if (line.kind == kRecordBefore || line.kind == kRecordWritten) {
        const RecordedValue value = MergeValueLines(index, line);
        Require(!value.hasBefore || Inside(text, value.before));
        Require(!value.hasWritten || Inside(text, value.written));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string text = data[0] % 4 == 0 ? input : Signed(input);
    const RecordIndexRoom room = RecordIndexNeeds(text.data(), text.size());
    std::vector<std::uint32_t> lines(room.lines + 1);
    std::vector<RecordSlot> slots(room.slots);
    RecordIndex index{};
    BuildRecordIndex(index, text.data(), text.size(), lines.data(), slots.data(), slots.size());
    Require(index.lineCount <= room.lines);
    std::size_t position = 0;
    std::size_t count = 0;
    RecordLine line;
    while (ReadRecordLine(text.data(), text.size(), position, line)) {
        Require(line.end == position && line.start < line.end && line.end <= text.size());
        Require(text[line.end - 1] == '\n');
        Require(count < index.lineCount && index.lines[count++] == line.start);
        CheckFields(text, line);
        CheckMerges(text, index, line);
    }
    Require(count == index.lineCount);
    Require(position <= WholeRecordLength(text.data(), text.size()));
    char folder[kMostRecordPath];
    RecordFolder(text.data(), text.size(), folder, sizeof folder);
    return 0;
}
