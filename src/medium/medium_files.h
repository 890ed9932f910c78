// The files of a medium, made from their originals and written into the medium's folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "authoring/diagnostics.h"
#include "medium/medium_plan.h"

namespace medium {

struct MediumFile {
    std::string name;                 // on the medium
    std::vector<std::uint8_t> bytes;  // as the medium holds it
    std::uint64_t originalSize = 0;   // what SETUP.EXE installs from it
    Packing packing = Packing::Copy;
};

// SETUP.EXE and the script under their own names, then every file of the plan, made from the
// original of its target name in `originalsFolder` (found without regard to case). A file whose
// original is missing, a folder, cannot be read or is too large to compress is left out and
// reported in `missing` with the line of its record.
std::vector<MediumFile> MakeMediumFiles(const MediumPlan& plan, const std::string& originalsFolder,
                                        std::vector<std::uint8_t> setupExe,
                                        std::vector<std::uint8_t> script,
                                        authoring::Diagnostics& missing);

// The entries of `folder` that are none of `files` (names compared without regard to case);
// none when the folder does not exist yet.
std::vector<std::string> ForeignEntries(const std::string& folder,
                                        const std::vector<MediumFile>& files);

// Writes the files into `folder`, making it when it is missing. Returns what failed and the
// system's reason, or nothing.
std::string WriteMediumFolder(const std::string& folder, const std::vector<MediumFile>& files);

} // namespace medium
