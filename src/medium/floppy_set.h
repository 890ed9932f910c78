// A set of floppies: one image for each disk that the script counts, disk 1 with SETUP.EXE and
// the script, every disk with the files of its own records, labelled with its disk's label.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "authoring/script_model.h"
#include "medium/disk_image.h"
#include "medium/medium_files.h"

namespace medium {

// Writes the floppy image `image` of `files` of `folder` with the volume label `label`, and says
// so on `out` with the room left.
std::optional<ImageFailure> WriteFloppy(const std::string& image, const std::string& label,
                                        const std::string& folder,
                                        const std::vector<ImageFile>& files, std::FILE* out);

// The volume labels of a set's disks, from their disk labels. Labels that come out alike once cut
// to a volume label's 11 characters ("KESTREL GAM" for both "Kestrel Gamepad Driver Disk 1" and
// "... Disk 2") end in their disk's number instead ("KESTREL G 1", "KESTREL G 2"), so that a
// directory listing tells the disks of a set apart.
std::vector<std::string> FloppySetLabels(const std::vector<std::string>& diskLabels);

// The image of disk `disk` (from 0) of a set named by `pattern`: a "#" in the file name stands for
// the disk's number; without one, "-N" goes before the name's extension ("kestrel.img" gives
// "kestrel-1.img", "kestrel-2.img"...).
std::string FloppySetImageName(const std::string& pattern, int disk);

// Writes the images of the set of `pattern`, of the files `files` of the medium folder `folder`.
// Every disk that does not fit is named, with by how much, before any image is written. Returns
// the exit status when the set is not written; the images written go to `out`.
std::optional<int> WriteFloppySet(const std::string& pattern, const authoring::ScriptModel& model,
                                  const std::string& folder, const std::vector<MediumFile>& files,
                                  std::FILE* out, std::FILE* err);

} // namespace medium
