#include "checker/szdd.h"

namespace checker {

namespace {

constexpr std::uint8_t kSignature[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr std::size_t kWindowSize = 4096;
constexpr std::size_t kWindowStart = kWindowSize - 16; // where the first byte is written
constexpr std::uint8_t kWindowFill = ' ';

} // namespace

SzddKind ReadSzddHeader(const std::uint8_t* data, std::size_t size, std::uint32_t& expandedSize)
{
    expandedSize = 0;
    // The LZ calls read 14 bytes first: a shorter file, or one without the whole signature, is
    // copied as it is.
    if (size < 4 || data[0] != 'S' || data[1] != 'Z' || data[2] != 'D' || data[3] != 'D') {
        return SzddKind::Plain;
    }
    for (std::size_t i = 4; i < sizeof kSignature && i < size; ++i) {
        if (data[i] != kSignature[i]) {
            return SzddKind::Plain;
        }
    }
    if (size < kSzddHeaderSize) {
        return SzddKind::HeaderCut;
    }
    if (data[8] != 'A') {
        return SzddKind::UnknownMode;
    }
    expandedSize = static_cast<std::uint32_t>(data[10]) |
                   static_cast<std::uint32_t>(data[11]) << 8 |
                   static_cast<std::uint32_t>(data[12]) << 16 |
                   static_cast<std::uint32_t>(data[13]) << 24;
    return SzddKind::Compressed;
}

std::uint64_t SzddExpandedLength(const std::uint8_t* data, std::size_t size, std::uint64_t limit)
{
    std::uint8_t window[kWindowSize];
    for (std::uint8_t& b : window) {
        b = kWindowFill;
    }
    std::size_t position = kWindowStart;
    std::uint64_t produced = 0;
    std::size_t in = kSzddHeaderSize;
    while (in < size && produced < limit) {
        const std::uint8_t flags = data[in++];
        for (int bit = 0; bit < 8 && in < size && produced < limit; ++bit) {
            if ((flags >> bit) & 1) {
                // A literal byte.
                window[position] = data[in++];
                position = (position + 1) % kWindowSize;
                ++produced;
                continue;
            }
            // A reference into the window: 12-bit position, 4-bit length less 3.
            if (in + 1 >= size) {
                in = size;
                break;
            }
            const std::size_t from = data[in] | ((data[in + 1] & 0xF0u) << 4);
            const std::size_t length = (data[in + 1] & 0x0Fu) + 3;
            in += 2;
            for (std::size_t k = 0; k < length && produced < limit; ++k) {
                window[position] = window[(from + k) % kWindowSize];
                position = (position + 1) % kWindowSize;
                ++produced;
            }
        }
    }
    return produced;
}

} // namespace checker
