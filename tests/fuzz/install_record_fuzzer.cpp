// The install record's reader over arbitrary bytes, as a torn or tampered UNINSTAL.DAT would
// give them: every line read lies whole inside the text, ends where the next one starts, and has
// its kind's fields inside it; every field either decodes into its holder (text without a NUL,
// or registry data within its buffer) or is refused; and what the uninstall makes of each line
// (the first line of its thing, a file's facts, a value's first and last data) stays inside the
// text too.
#include <cstring>
#include <string>

#include "fuzz_input.h"
#include <vector>

#include "record/install_record.h"
#include "record/record_index.h"
#include "uninstall/recorded_changes.h"

namespace {

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
    const std::string text(reinterpret_cast<const char*>(data), size);
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
