// What the copy page computes without the operating system: the percentage, the gauge's fill and
// the status text.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/file_table.h"

constexpr std::size_t kStatusTextSize = 128;

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
