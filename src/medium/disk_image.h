// Disk images of a finished medium: a 1.44 MB FAT12 floppy, written with mtools, and an
// ISO 9660 CD image with 8.3 names, written with xorriso. Both hold the medium's files in their
// root folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace medium {

// A 1.44 MB floppy as mformat lays it out: 2880 sectors of 512 bytes, one boot sector, two FATs
// of 9 sectors, a root folder of 224 entries (14 sectors), and one sector a cluster.
constexpr std::uint64_t kFloppySectorSize = 512;
constexpr std::uint64_t kFloppySectors = 2880;
constexpr std::uint64_t kFloppyRootEntries = 224;
constexpr std::uint64_t kFloppyDirectoryEntrySize = 32;
constexpr std::uint64_t kFloppySystemSectors =
    1 + 2 * 9 + kFloppyRootEntries * kFloppyDirectoryEntrySize / kFloppySectorSize;
constexpr std::uint64_t kFloppyDataBytes =
    (kFloppySectors - kFloppySystemSectors) * kFloppySectorSize;
constexpr std::size_t kFloppyLabelLength = 11;
constexpr std::size_t kIsoLabelLength = 32;

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

// Why the files do not fit on the floppy, with how much is too much; nothing when they fit.
std::optional<std::string> FloppyOverflow(const FloppyUse& use);

// A disk label as a FAT volume label: upper case, at most 11 characters, the characters that a
// label cannot hold replaced by "_".
std::string FloppyLabel(std::string_view diskLabel);

// A disk label as an ISO 9660 volume name: upper case, at most 32 characters.
std::string IsoLabel(std::string_view diskLabel);

// A failure of an image tool, with the exit status that the command gives it.
struct ImageFailure {
    int status;
    std::string message;
};

// Writes the floppy image `image` (replaced when it is a file; a folder is refused) with the volume
// label `label`, holding the files `files` of `folder`.
std::optional<ImageFailure> WriteFloppyImage(const std::string& image, const std::string& label,
                                             const std::string& folder,
                                             const std::vector<ImageFile>& files);

// Writes the ISO 9660 image `image` (replaced when it is a file; a folder is refused) of the files
// `files` of `folder`.
std::optional<ImageFailure> WriteIsoImage(const std::string& image, const std::string& label,
                                          const std::string& folder,
                                          const std::vector<ImageFile>& files);

} // namespace medium
