// The Windows LZ compressed file format (SZDD, as written by COMPRESS.EXE and mscompress), which
// SETUP.EXE's LZ calls expand on the way: a 14-byte header, then LZSS data.
//
//   bytes 0-7   "SZDD" 0x88 0xF0 0x27 0x33
//   byte  8     compression mode, 'A'
//   byte  9     the last character of the original name (the one the "_" stands for)
//   bytes 10-13 the expanded size, 32-bit little-endian
//
// The LZSS data are groups of a flag byte and up to eight items, the flag's lowest bit for the
// first: a set bit is a literal byte, a clear bit a reference of two bytes, b0 b1, to
// kSzddMinMatch + (b1 & 0x0F) bytes that start at window position b0 | (b1 & 0xF0) << 4. The
// expander keeps a ring window of 4096 bytes, filled with blanks at the start, writes the first
// byte at kSzddWindowStart and every byte it produces into the window; a reference copies byte by
// byte, so it may reach into the bytes it is writing. The data end where the file ends.
#pragma once

#include <cstddef>
#include <cstdint>

namespace szdd {

constexpr std::uint8_t kSzddSignature[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr std::uint8_t kSzddModeA = 'A';
constexpr std::size_t kSzddHeaderSize = 14;
constexpr std::size_t kSzddModeAt = 8;         // where the header holds the mode
constexpr std::size_t kSzddNameCharacterAt = 9; // ... the original name's last character
constexpr std::size_t kSzddSizeAt = 10;         // ... the expanded size
constexpr std::size_t kSzddWindowSize = 4096;
constexpr std::size_t kSzddWindowStart = kSzddWindowSize - 16; // where the first byte is written
constexpr std::uint8_t kSzddWindowFill = ' ';
constexpr std::size_t kSzddMinMatch = 3;
constexpr std::size_t kSzddMaxMatch = kSzddMinMatch + 15;

static_assert(sizeof kSzddSignature == kSzddModeAt && kSzddSizeAt + 4 == kSzddHeaderSize,
              "the header is the signature, the mode, the name character and the size");

} // namespace szdd
