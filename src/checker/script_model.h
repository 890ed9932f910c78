// SETUP.INF read the way SETUP.EXE's loader reads it: the same keys, defaults and read sizes, the
// same slots, FillFileEntry for every file line, through the private-profile reader of
// script/profile_reader.h. Beside every value the model keeps where it came from and what the
// author wrote, so that the checks can tell what was cut or taken by default.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/file_table.h"
#include "script/script_rules.h"

namespace checker {

// What the checker assumes of the machine that SETUP.EXE will run on.
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
};

// One numbered key of a disk section that the loader asks for.
struct FileRecord {
    int disk = 0;   // from 0
    int number = 0; // the key: 1 to the disk's file count
    KeySource source;
    FileEntry entry{}; // all zero when the value is missing or empty
};

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

    // [Main]
    KeySource defaultPath;
    KeySource productName;
    KeySource driverName;
    KeySource oemData1;
    KeySource oemData2;
    KeySource minimumSpace;
    std::int32_t oemData1Value = 0;
    std::int32_t oemData2Value = 0;
    std::int32_t minimumSpaceRead = 0; // as the reader returns it, before the 16-bit slot
    std::int16_t minimumSpaceKb = 0;
    char destDir[kPathSize] = {};
    char productNameSlot[kProductNameSize] = {};
    char driverNameSlot[kDriverNameSize] = {};

    // [DiskLabel]
    KeySource labels[kMaxDisks];
    char diskLabels[kMaxDisks][kDiskLabelSize] = {};
    int diskCount = 0;

    // [DirectoryName]
    KeySource directories[kDirectoryKeyCount];
    char directoryNames[kDirectoryKeyCount][kPathSize] = {};

    // [FileCounts], for the counted disks
    KeySource counts[kMaxDisks];
    std::int32_t countRead[kMaxDisks] = {};
    std::int16_t fileCounts[kDiskSlots] = {};
    int totalFiles = 0;     // -1 when the counts add up to more than 32767 files
    bool loadFails = false; // SETUP.EXE stops with its reading error

    // The numbered keys of the counted disks, in the loader's order.
    std::vector<FileRecord> files;

    // Every section of the text, in order.
    std::vector<OutlineSection> outline;
};

// Reads `text` (the whole script) into `model`. `text` must outlive the model.
void LoadScriptModel(std::string_view text, const Assumptions& assumptions, ScriptModel& model);

// The first section of a name (ASCII case ignored), or null.
const OutlineSection* FindSection(const ScriptModel& model, std::string_view name);

// The line of the first header of a section, or 0 when there is none.
std::size_t SectionLine(const ScriptModel& model, std::string_view name);

// The line to tie a key's warning to: the key's own, else its section's header, else 0.
std::size_t KeyOrSectionLine(const ScriptModel& model, const KeySource& key,
                             std::string_view section);

} // namespace checker
