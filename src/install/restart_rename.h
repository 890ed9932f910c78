// The [rename] section of WININIT.INI in the Windows directory, which Windows 95 and 98 carry out
// at the next start, before any driver is loaded and before long names exist: a line
// "TARGET=SOURCE" replaces TARGET with SOURCE, a line "NUL=PATH" deletes PATH. It is how a file
// that is in use (a loaded driver, an open DLL) is replaced or removed.
#pragma once

#include <cstddef>

// Room that AddRenameEntry needs beyond the old text and the entry: a line break before a new
// section, the "[rename]" header and the line breaks after it and after the entry.
constexpr std::size_t kRenameEntryOverhead = 16;

// "TARGET=SOURCE" into `out` (capacity bytes). False (and an empty text) when it does not fit.
bool BuildRenameEntry(const char* target, const char* source, char* out, std::size_t capacity);

// Writes into `out` (capacity bytes, NUL-terminated) the file's text (`length` bytes, any bytes)
// with the line `entry` added after the last line of its first [rename] section, or in a new
// [rename] section at the end when it has none. Every other byte stays as it was. Returns the
// new text's length, or 0 when it does not fit.
std::size_t AddRenameEntry(const char* text, std::size_t length, const char* entry, char* out,
                           std::size_t capacity);
