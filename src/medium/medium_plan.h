// Which files a medium holds for a script, and how each is made from its original: SETUP.EXE
// reads every file record's source beside itself and installs it under its target name, expanding
// it when it is LZ-compressed. A source named like its target with the last character replaced by
// "_" is made by compressing the original; a source named as its target is the original itself.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/diagnostics.h"
#include "authoring/script_model.h"

namespace medium {

enum class Packing {
    Copy,     // the original as it is
    Compress, // the original in the LZ compressed format
};

struct PlannedFile {
    std::size_t line = 0;   // the first script line that names it
    std::string record;     // that line's record, "[Disk1] 2", for the messages
    std::string sourceName; // its name on the medium, as SETUP.EXE reads it
    std::string targetName; // the original's name
    Packing packing = Packing::Copy;
};

struct MediumPlan {
    std::vector<PlannedFile> files; // every file of the medium once, in the script's order
    authoring::Diagnostics errors;  // file records whose file cannot be laid out
};

// The medium's files for the file records that SETUP.EXE reads from the script.
MediumPlan PlanMedium(const authoring::ScriptModel& model);

// True when `source` is `target` with its last character replaced by "_" (ASCII case ignored).
bool IsCompressedNameOf(std::string_view source, std::string_view target);

} // namespace medium
