// The checks, each over the script as SETUP.EXE reads it (authoring/script_model.h). Every check
// appends its warnings.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "authoring/diagnostics.h"
#include "authoring/floppy.h"
#include "authoring/names.h"
#include "authoring/script_model.h"

namespace checker {

// The checker stands on the disk author's tools' shared floor.
using namespace authoring;

// The script's text as a whole: its size, NUL bytes, a byte-order mark.
void CheckText(const ScriptModel& model, Diagnostics& out);

// The lines of the script as the profile reader sees them: sections that SETUP.EXE never reads
// or reads only once, keys it does not know, lines without "=", keys before any section.
void CheckStructure(const ScriptModel& model, Diagnostics& out);

// [Main]: cut values, defaults taken, the default destination, numbers and MinimumSpace.
void CheckMain(const ScriptModel& model, Diagnostics& out);

// [DiskLabel] and [FileCounts]: the disks that are counted and read, the file counts.
void CheckDisks(const ScriptModel& model, Diagnostics& out);

// [DirectoryName]: cut values, values that are never used, subdirectories that cannot be made.
void CheckDirectories(const ScriptModel& model, Diagnostics& out);

// The sections of the counted disks: missing sections, missing keys, keys never read.
void CheckDiskSections(const ScriptModel& model, Diagnostics& out);

// Each file record: its line, cut fields, names, directory key.
void CheckFileRecords(const ScriptModel& model, Diagnostics& out);

// Where the records put their files: one target twice, the name of SETUP.EXE's install record,
// the uninstaller that the uninstall entry runs.
void CheckTargets(const ScriptModel& model, Diagnostics& out);

// The registry section, each of its lines as SETUP.EXE's registry writer parses it.
void CheckRegistrySection(const ScriptModel& model, Diagnostics& out);

// Where the files that the script names can be found.
enum class MediumLayout {
    None,      // not checked
    Medium,    // a medium: every file under its source name, compressed or not
    Originals, // a folder of originals under their target names, compressed when the medium is
               // laid out (a source name ending in "_" is made by compressing the original)
};

struct Medium {
    MediumLayout layout = MediumLayout::None;
    std::string folder; // for the messages
    // The bytes of a file of the folder, its name compared without regard to case; nothing when
    // there is no such file.
    std::function<std::optional<std::vector<std::uint8_t>>(const std::string& name)> read;
    bool floppySet = false; // every disk that SETUP.EXE counts a floppy of its own
};

// The files that the script names, on the medium: present, compressed properly, and in all
// taking no more room than MinimumSpace asks for.
void CheckMedium(const ScriptModel& model, const Medium& medium, Diagnostics& out);

// A disk of a set of floppies and what its files take on its floppy.
struct FloppyDisk {
    int disk = 0; // from 0
    std::string label;
    std::size_t files = 0; // the files found, SETUP.EXE and the script on disk 1 included
    FloppyUse use;
    bool setupReckoned = false; // SETUP.EXE is not at hand: reckoned at its largest
};

// With a set of floppies: what each disk that SETUP.EXE counts takes on a floppy of its own, as
// setup-medium lays it out, and a warning for each disk that does not fit.
std::vector<FloppyDisk> CheckFloppySet(const ScriptModel& model, const Medium& medium,
                                       Diagnostics& out);

} // namespace checker
