// What the copy page computes without the operating system: paths, percentages, the gauge's
// fill, the status text and the list of files that could not be copied.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/file_table.h"

constexpr std::size_t kStatusTextSize = 128;

// True when the copy page copies this record: it has a source and a target name, and neither they
// nor a relative target directory lead out of their folders. The uninstall removes just these.
bool IsCopiedRecord(const FileEntry& entry);

// True when the copy page makes the subdirectory of this [DirectoryName] value (SubDir1 to
// SubDir6): it is not empty and stays below the destination.
bool IsMadeSubdirectory(const char* name);

// Source path: source directory, a backslash and the source name. False (and an empty path)
// when it does not fit in `capacity` bytes.
bool BuildSourcePath(const char* sourceDir, const FileEntry& entry, char* out, std::size_t capacity);

// Target path: for a relative entry the destination, a backslash and the target directory, then
// a backslash and the target name; for an absolute entry the target directory, a backslash and
// the target name. An empty target directory gives two backslashes in a row. False (and an
// empty path) when it does not fit.
bool BuildTargetPath(const char* destDir, const FileEntry& entry, char* out, std::size_t capacity);

// Folds every run of backslashes in a path into one (an empty target directory leaves two in a
// row), for the places that compare paths or hand them to programs that read them strictly.
void CollapseBackslashes(char* path);

// Directory path of a subdirectory of the destination; false when it does not fit.
bool BuildSubdirectoryPath(const char* destDir, const char* name, char* out, std::size_t capacity);

// Makes a folder path comparable: single backslashes, and none at the end but after a drive.
void NormaliseFolder(char* path);

// True when `path` is `folder` or lies below it (ASCII case ignored; a backslash at the end of
// either names the same folder). Works alike for registry key paths.
bool PathIsAtOrBelow(const char* path, const char* folder);

// Percent of a disk's files done when file `index` (from 0) is being copied, as a 16-bit value.
std::int16_t PercentDone(int index, int fileCount);

// "Copying " (as the string table gives it), the source name, two line feeds, the description.
void BuildStatusText(const char* copying, const FileEntry& entry, char* out, std::size_t capacity);

struct PixelRect {
    long left;
    long top;
    long right;
    long bottom;
};

// The filled part of the gauge for `percent`, from the gauge control's rectangle in the page:
// columns from left + 1 up to left + 1 + percent * (right - left - 3) / 100, rows from top + 1
// up to bottom - 3 (right and bottom edges excluded).
PixelRect GaugeFill(const PixelRect& control, int percent);

// Colour (0x00BBGGRR) of the gauge box fill codes 100 to 106; false for any other code, which
// names a stock object instead.
bool GaugeFillColour(unsigned fillCode, std::uint32_t& colour);

// Adds a source name to the comma-separated list of files that could not be copied. When a name
// no longer fits, the list ends with "..." and takes no more names.
void AddFailedName(char* list, std::size_t capacity, const char* name);
