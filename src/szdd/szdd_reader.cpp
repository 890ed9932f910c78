#include "szdd/szdd_reader.h"

namespace szdd {

namespace {

// Expands the LZSS data after the header, handing every byte to `emit`, until the data end or
// `limit` bytes are out. A reference cut short by the end of the data produces nothing.
template <typename Emit>
void ExpandLzss(const std::uint8_t* data, std::size_t size, std::uint64_t limit, Emit emit)
{
    std::uint8_t window[kSzddWindowSize];
    for (std::uint8_t& b : window) {
        b = kSzddWindowFill;
    }
    std::size_t position = kSzddWindowStart;
    std::uint64_t produced = 0;
    const auto put = [&](std::uint8_t byte) {
        window[position] = byte;
        position = (position + 1) % kSzddWindowSize;
        ++produced;
        emit(byte);
    };
    std::size_t in = kSzddHeaderSize;
    while (in < size && produced < limit) {
        const std::uint8_t flags = data[in++];
        for (int bit = 0; bit < 8 && in < size && produced < limit; ++bit) {
            if ((flags >> bit) & 1) {
                put(data[in++]);
                continue;
            }
            if (in + 1 >= size) {
                return;
            }
            const std::size_t from = data[in] | ((data[in + 1] & 0xF0u) << 4);
            const std::size_t length = (data[in + 1] & 0x0Fu) + kSzddMinMatch;
            in += 2;
            for (std::size_t k = 0; k < length && produced < limit; ++k) {
                put(window[(from + k) % kSzddWindowSize]);
            }
        }
    }
}

} // namespace

SzddKind ReadSzddHeader(const std::uint8_t* data, std::size_t size, std::uint32_t& expandedSize)
{
    expandedSize = 0;
    // The LZ calls read 14 bytes first: a shorter file, or one without the whole signature, is
    // copied as it is.
    if (size < 4 || data[0] != 'S' || data[1] != 'Z' || data[2] != 'D' || data[3] != 'D') {
        return SzddKind::Plain;
    }
    for (std::size_t i = 4; i < sizeof kSzddSignature && i < size; ++i) {
        if (data[i] != kSzddSignature[i]) {
            return SzddKind::Plain;
        }
    }
    if (size < kSzddHeaderSize) {
        return SzddKind::HeaderCut;
    }
    if (data[kSzddModeAt] != kSzddModeA) {
        return SzddKind::UnknownMode;
    }
    for (std::size_t i = 4; i-- > 0;) {
        expandedSize = expandedSize << 8 | data[kSzddSizeAt + i];
    }
    return SzddKind::Compressed;
}

std::uint64_t SzddExpandedLength(const std::uint8_t* data, std::size_t size, std::uint64_t limit)
{
    std::uint64_t produced = 0;
    ExpandLzss(data, size, limit, [&produced](std::uint8_t) { ++produced; });
    return produced;
}

std::vector<std::uint8_t> ExpandSzdd(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> out;
    ExpandLzss(data, size, UINT64_MAX, [&out](std::uint8_t byte) { out.push_back(byte); });
    return out;
}

} // namespace szdd
