// The install record's reader over arbitrary bytes, as a torn or tampered UNINSTAL.DAT would
// give them: every line read lies whole inside the text, ends where the next one starts, and has
// its kind's fields inside it; every field either decodes into its holder (text without a NUL,
// or registry data within its buffer) or is refused; and what the uninstall makes of each line
// (the first line of its thing, a file's facts, a value's first and last data) stays inside the
// text too.
#include <cstring>
#include <string>

#include "fuzz_input.h"
#include "record/install_record.h"
#include "uninstall/recorded_changes.h"

namespace {

bool Inside(const std::string& text, const RecordField& field)
{
    return field.text >= text.data() && field.text + field.length <= text.data() + text.size();
}

void CheckFields(const std::string& text, const RecordLine& line)
{
    Require(line.fieldCount == RecordFieldCount(line.kind));
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

void CheckMerges(const std::string& text, const RecordLine& line)
{
    const char* t = text.data();
    IsFirstRecordLine(t, text.size(), line, kFirstThreeFields);
    if (line.kind == kRecordFile) {
        const RecordedFile file = MergeFileLines(t, text.size(), line);
        Require(!UninstallDeletesFile(file, false) || !file.windows);
    }
    if (line.kind == kRecordBefore || line.kind == kRecordWritten) {
        const RecordedValue value = MergeValueLines(t, text.size(), line);
        Require(!value.hasBefore || Inside(text, value.before));
        Require(!value.hasWritten || Inside(text, value.written));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t position = 0;
    RecordLine line;
    while (ReadRecordLine(text.data(), text.size(), position, line)) {
        Require(line.end == position && line.start < line.end && line.end <= text.size());
        Require(text[line.end - 1] == '\n');
        CheckFields(text, line);
        CheckMerges(text, line);
    }
    Require(ValidRecordLength(text.data(), text.size()) == position);
    char folder[kMostRecordPath];
    RecordFolder(text.data(), text.size(), folder, sizeof folder);
    return 0;
}
