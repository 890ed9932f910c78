// A 1.44 MB floppy as mformat lays it out, what files take on it, and which files each disk of a
// script holds when every disk is a floppy of its own: the setup-medium's images and the
// checker's sizes of a set of floppies reckon alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/script_model.h"

namespace authoring {

// 2880 sectors of 512 bytes, one boot sector, two FATs of 9 sectors, a root folder of 224
// entries (14 sectors), and one sector a cluster.
constexpr std::uint64_t kFloppySectorSize = 512;
constexpr std::uint64_t kFloppySectors = 2880;
constexpr std::uint64_t kFloppyRootEntries = 224;
constexpr std::uint64_t kFloppyDirectoryEntrySize = 32;
constexpr std::uint64_t kFloppySystemSectors =
    1 + 2 * 9 + kFloppyRootEntries * kFloppyDirectoryEntrySize / kFloppySectorSize;
constexpr std::uint64_t kFloppyDataBytes =
    (kFloppySectors - kFloppySystemSectors) * kFloppySectorSize;

// The most that the build lets SETUP.EXE take: what a set reckons for it on disk 1 when the
// program itself is not at hand.
constexpr std::uint64_t kSetupLargestSize = 45056;

struct ImageFile {
    std::string name;
    std::uint64_t size = 0;
};

// What the files take on the floppy: whole clusters, and root folder entries (one for the volume
// label, one for each 8.3 name, more for a long name).
struct FloppyUse {
    std::uint64_t dataBytes = 0;
    std::uint64_t rootEntries = 0;
};

FloppyUse FloppyUseOf(const std::vector<ImageFile>& files);

// Why the files of `what` ("the medium", "disk 2 ...") do not fit on the floppy, with how much is
// too much; nothing when they fit.
std::optional<std::string> FloppyOverflow(const FloppyUse& use,
                                          std::string_view what = "the medium");

// "disk 2 ("Kestrel Gamepad Disk 2")", or "disk 2" when the label is empty; `disk` from 0.
std::string FloppyDiskName(int disk, std::string_view label);

// A file that a disk of the set holds: SETUP.EXE and the script (no record), or the source of a
// file record of that disk.
struct FloppySetFile {
    std::string name;
    const FileRecord* record = nullptr; // the disk's first record that names it
};

// The files of each disk that SETUP.EXE counts, when every disk is a floppy of its own: disk 1
// holds SETUP.EXE and the script; every disk holds the sources of its own file records, each
// once (the script on a later disk only when one of that disk's records installs it).
std::vector<std::vector<FloppySetFile>> FloppySetFiles(const ScriptModel& model);

} // namespace authoring
