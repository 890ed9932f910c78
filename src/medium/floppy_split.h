// Laying the file records of [Disk1] out over as few floppies as their order allows: each record
// goes on the disk of the one before it while the files fit there, else on the next disk (disk 1
// also holds SETUP.EXE and the script). The script that the medium then holds has the disk
// sections, [FileCounts] and [DiskLabel] of that layout; its other lines stay as written.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/diagnostics.h"
#include "authoring/script_model.h"

namespace medium {

struct FloppySplit {
    std::vector<int> diskOf;         // for each record of [Disk1], its disk (from 0)
    int diskCount = 0;
    std::vector<std::string> labels; // [DiskLabel] of each disk
    authoring::Diagnostics errors;   // a file larger than a floppy, more disks than SETUP.EXE reads
};

// The sizes of the medium's files, by their names in upper case.
using FileSizes = std::map<std::string, std::uint64_t>;

// The layout of the records of [Disk1] of a script of one disk, with `scriptSize` bytes for the
// script wherever a disk holds it.
FloppySplit SplitOverFloppies(const authoring::ScriptModel& model, const FileSizes& sizes,
                              std::uint64_t scriptSize);

// The label of disk `disk` (from 0) of a set of `count` made from the first disk's label. A
// label that ends in the number 1 (a 1 with no digit before it) has it replaced by the disk's
// number: "Kestrel Gamepad Disk 1" gives "Kestrel Gamepad Disk 2". Any other label of a set of
// more than one disk gets " Disk N" after it, cut before that when the whole would be longer than
// the 39 characters that SETUP.EXE keeps of a label.
std::string SetDiskLabel(std::string_view first, int disk, int count);

// The script's text with the disk sections, [FileCounts] and [DiskLabel] of `split` in place of
// the author's: the first section of each of those names, its key lines, gives way; blank lines
// and comments stay, and so does every other line.
std::string SplitScriptText(const authoring::ScriptModel& model, const FloppySplit& split);

// The layout and its script, the layout reckoned with the size of the script that it gives. The
// text is empty when `split` has errors.
std::string SplitScript(const authoring::ScriptModel& model, const FileSizes& sizes,
                        FloppySplit& split);

} // namespace medium
