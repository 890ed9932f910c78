// Reading SZDD files (szdd/szdd_format.h): the header, and the LZSS data expanded as the LZ calls
// expand them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "szdd/szdd_format.h"

namespace szdd {

enum class SzddKind {
    Plain,      // no SZDD signature: copied as it is
    Compressed, // a whole header of mode 'A'
    HeaderCut,  // the signature, but fewer than 14 bytes
    UnknownMode // the signature with a mode other than 'A', which the LZ calls refuse
};

// Looks at a file's first bytes; for a compressed file, also gives the expanded size.
SzddKind ReadSzddHeader(const std::uint8_t* data, std::size_t size, std::uint32_t& expandedSize);

// How many bytes the LZSS data after the header expands to, counting no further than `limit`.
std::uint64_t SzddExpandedLength(const std::uint8_t* data, std::size_t size, std::uint64_t limit);

// The bytes that a compressed file (header included) expands to, as far as its data go.
std::vector<std::uint8_t> ExpandSzdd(const std::uint8_t* data, std::size_t size);

} // namespace szdd
