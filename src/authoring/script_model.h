// SETUP.INF read by SETUP.EXE's own loading sequence (script/read_script.h) through the project's
// profile reader, which notes for every key where its value came from and what the author wrote,
// so that the tools can tell what was cut or taken by default. The model keeps what SETUP.EXE
// keeps (its settings and file records, each with the fields of its line) beside that, and the
// outline of the whole file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/file_table.h"
#include "base/script_settings.h"
#include "script/script_rules.h"

namespace authoring {

// What the tools assume of the machine that SETUP.EXE will run on.
struct Assumptions {
    std::string windowsDir = "C:\\WINDOWS";
    std::string programFilesDir = kProgramFilesFallback;
};

// One key as the reader finds it.
struct KeySource {
    bool present = false;  // a line of that name in the first section of that name
    bool hasValue = false; // ... with an "=" (a line without one reads as missing)
    std::size_t line = 0;  // the key's line; 0 when the key is missing
    std::string raw;       // the value as written, blanks around it dropped
    std::string written;   // what the reader hands out when nothing limits it: quotes dropped;
                           // the default when the key is missing
    std::string read;      // what the loader gets: cut to its read size
    std::int32_t number = 0; // a number key: what the reader returns for it, default included
};

// One comma-separated field of a line as SplitField takes it, and its length if nothing cut it.
struct LineField {
    std::string text;
    std::size_t uncut = 0;
};

// The fields of a line as SplitField takes them, one after the other to the end of the line; a
// comma at the end leaves an empty last field. An empty line has none.
std::vector<LineField> SplitFields(const std::string& line);

// The fields of a file line, in the loader's order.
enum FileField : std::size_t { kSourceField, kTargetField, kDescriptionField, kDirectoryField };

// One record of the file table, with the numbered key of its disk's section that fills it.
struct FileRecord {
    int disk = 0;   // from 0
    int number = 0; // the key: 1 to the disk's file count
    KeySource source;
    std::vector<LineField> fields; // the line as the loader reads it, split into its fields
    FileEntry entry{};             // all zero when the value is missing or empty

    // The text of a field, or "" when the line has fewer.
    const std::string& Field(std::size_t index) const;
};

// "[Disk1] 2": the record's section and key, as messages name it.
std::string RecordName(const FileRecord& record);

// One section header and the keys of that section, in the order of the text.
struct OutlineKey {
    std::string name;
    bool hasValue = false;
    std::string raw; // the value as written
    std::size_t line = 0;
};

struct OutlineSection {
    std::string name;     // empty for the lines before the first header
    std::size_t line = 0; // the header's line; 0 for the lines before the first header
    std::vector<OutlineKey> keys;
};

struct ScriptModel {
    std::string_view text;
    Assumptions assumptions;

    // What SETUP.EXE keeps of the script.
    ScriptSettings settings;
    bool loadFails = false; // the file counts add up to more than 32767 files: SETUP.EXE stops
                            // with its reading error and reads no file line
    std::vector<FileRecord> files; // the records of the counted disks, in the table's order

    // Every key that the loader asks for, by section and key name as it asks.
    std::map<std::pair<std::string, std::string>, KeySource> sources;

    // Every section of the text, in order.
    std::vector<OutlineSection> outline;
};

// Reads `text` (the whole script) into `model`. `text` must outlive the model.
void LoadScriptModel(std::string_view text, const Assumptions& assumptions, ScriptModel& model);

// Where a key that the loader asks for came from; a key that it never asks for reads as missing.
const KeySource& Source(const ScriptModel& model, std::string_view section, std::string_view key);

// The first section of a name (ASCII case ignored), or null.
const OutlineSection* FindSection(const ScriptModel& model, std::string_view name);

// The line of the first header of a section, or 0 when there is none.
std::size_t SectionLine(const ScriptModel& model, std::string_view name);

// The line to tie a key's warning to: the key's own, else its section's header, else 0.
std::size_t KeyOrSectionLine(const ScriptModel& model, const KeySource& key,
                             std::string_view section);

} // namespace authoring
