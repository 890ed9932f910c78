// The Windows LZ compressed file format (SZDD, as written by COMPRESS.EXE and mscompress), which
// SETUP.EXE's LZ calls expand on the way: a 14-byte header, then LZSS data.
//
//   bytes 0-7   "SZDD" 0x88 0xF0 0x27 0x33
//   byte  8     compression mode, 'A'
//   byte  9     the last character of the original name (the one the "_" stands for)
//   bytes 10-13 the expanded size, 32-bit little-endian
#pragma once

#include <cstddef>
#include <cstdint>

namespace checker {

enum class SzddKind {
    Plain,      // no SZDD signature: copied as it is
    Compressed, // a whole header of mode 'A'
    HeaderCut,  // the signature, but fewer than 14 bytes
    UnknownMode // the signature with a mode other than 'A', which the LZ calls refuse
};

constexpr std::size_t kSzddHeaderSize = 14;

// Looks at a file's first bytes; for a compressed file, also gives the expanded size.
SzddKind ReadSzddHeader(const std::uint8_t* data, std::size_t size, std::uint32_t& expandedSize);

// How many bytes the LZSS data after the header expands to, counting no further than `limit`.
std::uint64_t SzddExpandedLength(const std::uint8_t* data, std::size_t size, std::uint64_t limit);

} // namespace checker
