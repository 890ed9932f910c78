// The registry section of the script, read once: every line that SETUP.EXE's registry writer
// takes, with its line number, its fields and what the writer's parser makes of it; and the lines
// that look like the section's markers but are none.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "checker/checks.h"
#include "registry/registry_line.h"

namespace checker {

// The device's class key that "HKR" lines write below is found at install time; the checker
// measures "HKR" key paths with one of the usual form.
inline constexpr char kAssumedDeviceClassKey[] = "MEDIA\\0000";

// The fields that the parser reads: root, subkey, value name, type flag, data.
enum RegistryField : std::size_t { kRootField, kSubkeyField, kNameField, kTypeField, kDataField };
constexpr std::size_t kRegistryFields = 5;

struct RegistryEntry {
    std::size_t line = 0;   // its line in the script
    std::size_t length = 0; // the characters of the whole line
    bool cut = false;       // more than 255 characters: SETUP.EXE passes the line over
    std::vector<LineField> fields; // at least the five that the parser reads
    bool writes = false;           // the parser takes it; otherwise `parsed.fault` says why not
    RegistryLine parsed{};
};

struct MarkerLookAlike {
    std::size_t line = 0;
    std::string text;   // as the line scanner reads it
    const char* marker = nullptr; // the marker it seems meant as
};

struct RegistrySection {
    std::vector<RegistryEntry> entries;
    std::vector<MarkerLookAlike> lookAlikes; // never registry lines themselves
    std::size_t lastBegin = 0;               // the line of the last "[REGISTRY_BEGIN]"
    bool neverClosed = false;                // open at the end of the text
};

// Walks the script's text as SETUP.EXE's registry writer does (it ends at the first NUL byte).
RegistrySection ReadRegistrySection(const ScriptModel& model);

} // namespace checker
