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

#include "authoring/floppy.h"

namespace medium {

// The floppy's geometry and what files take on it, which the checker reckons alike.
using authoring::FloppyOverflow;
using authoring::FloppyUse;
using authoring::FloppyUseOf;
using authoring::ImageFile;
using authoring::kFloppyDataBytes;
using authoring::kFloppyRootEntries;
using authoring::kFloppySectors;
using authoring::kFloppySectorSize;

constexpr std::size_t kFloppyLabelLength = 11;
constexpr std::size_t kIsoLabelLength = 32;

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
