// The checks of the destination page that need no platform: the form of the path, the root path
// of its drive and the free-space comparison.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/file_table.h"

// "X:\" and the terminator.
constexpr std::size_t kRootPathSize = 4;

// True when a destination typed or browsed to fits the 79 characters that the destination keeps.
bool FitsDestination(const char* destination);

// True when the destination has a drive form: its second character is ':' and its third '\'.
// The first character is not examined (but an empty text has no drive form).
bool HasDriveForm(const char* destination);

// The root path of the destination's drive: its first character, an ASCII lower-case letter
// turned to upper case and every other byte kept, then ":\".
void BuildRootPath(const char* destination, char (&root)[kRootPathSize]);

// Free kilobytes of a drive from the free-space query's counts; the byte product is taken in
// 64 bits, so no drive size overflows it.
std::uint64_t FreeKilobytes(std::uint32_t sectorsPerCluster, std::uint32_t bytesPerSector,
                            std::uint32_t freeClusters);

// True when the free space reaches the minimum. The minimum is sign-extended and compared
// unsigned, so a negative minimum (a script value of 32768 to 65535 kept in 16 bits) exceeds any
// free space.
bool HasEnoughSpace(std::uint64_t freeKilobytes, std::int16_t minimumKilobytes);
