// Install record lines as the setup writes them, and a record read with its table as the
// uninstall reads it, for the tests of the record and of the uninstall's decisions.
#pragma once

#include "record/install_record.h"
#include "record/record_index.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace record_lines {

using Bytes = std::vector<std::uint8_t>;

inline std::string Line(char kind, std::initializer_list<std::string> texts)
{
    std::string out(kMostRecordLine, '\0');
    RecordLineBuilder line;
    BeginRecordLine(line, out.data(), out.size(), kind);
    for (const std::string& text : texts) {
        AddRecordText(line, text.c_str());
    }
    out.resize(FinishRecordLine(line));
    return out;
}

inline std::string ValueLine(char kind, const std::string& name, bool present, std::uint32_t type,
                      const Bytes& bytes)
{
    std::string out(kMostRecordLine, '\0');
    RecordLineBuilder line;
    BeginRecordLine(line, out.data(), out.size(), kind);
    AddRecordText(line, kRecordLocalMachine);
    AddRecordText(line, "SOFTWARE\\Kestrel");
    AddRecordText(line, name.c_str());
    AddRecordData(line, present, type, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    out.resize(FinishRecordLine(line));
    return out;
}

inline std::vector<RecordLine> ReadAll(const std::string& text, std::size_t* damaged = nullptr)
{
    std::vector<RecordLine> lines;
    std::size_t position = 0;
    RecordLine line;
    while (ReadRecordLine(text.data(), text.size(), position, line, damaged)) {
        lines.push_back(line);
    }
    return lines;
}

// A record with its table, as the uninstall reads it.
struct Indexed {
    explicit Indexed(std::string record) : text(std::move(record))
    {
        const RecordIndexRoom room = RecordIndexNeeds(text.data(), text.size());
        lines.resize(room.lines + 1);
        slots.resize(room.slots);
        BuildRecordIndex(index, text.data(), text.size(), lines.data(), slots.data(),
                         slots.size());
    }
    Indexed(const Indexed&) = delete;
    std::string text;
    std::vector<std::uint32_t> lines;
    std::vector<RecordSlot> slots;
    RecordIndex index{};
};

inline std::string Decoded(const RecordField& field)
{
    char out[kMostRecordPath];
    return DecodeRecordText(field, out, sizeof out) ? std::string(out) : "<undecodable>";
}

} // namespace record_lines
