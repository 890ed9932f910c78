// Writing SZDD files (szdd/szdd_format.h) for a medium: every file, of any size, expands back to
// its original through the LZ calls of Windows and through other SZDD expanders.
//
// The format lets the compressor cut the data into literals and references as it likes; this one
// finds, at every position, the longest reference that the window offers (an exhaustive search),
// and then picks the cut with the fewest bits over the whole file (a literal costs 9 bits with its
// flag, a reference 17, whatever its length): no other cut of the file into items is smaller
// but for the rounding of the last flag byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace szdd {

// The largest original that the compressor takes: it counts positions in 31 bits (the header's
// size field would take 32).
constexpr std::uint64_t kSzddLargestOriginal = 0x7FFF0000u;

// The compressed file for `original` (at most kSzddLargestOriginal bytes): header, then data.
// `nameCharacter` goes into the header as the last character of the original's name, the one
// that the "_" of the compressed file's name stands for.
std::vector<std::uint8_t> CompressSzdd(std::span<const std::uint8_t> original, char nameCharacter);

} // namespace szdd
