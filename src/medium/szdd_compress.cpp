#include "medium/szdd_compress.h"

#include <algorithm>
#include <array>

#include "checker/szdd.h"

namespace medium {

namespace {

using checker::kSzddMaxMatch;
using checker::kSzddMinMatch;
using checker::kSzddWindowSize;
using checker::kSzddWindowStart;

// The window starts filled with blanks, so a reference may read blanks from before the first
// byte. Of those references, the ones that read nothing but blanks are all alike; it is enough to
// put as many blanks in front of the original as the longest reference reads, and to let a
// reference reach back into them as far as the window allows.
constexpr std::size_t kLead = kSzddMaxMatch;

constexpr unsigned kHashBits = 15;
constexpr std::int32_t kNoPosition = -1;

// What an item costs with its bit in the flag byte.
constexpr std::uint64_t kLiteralBits = 9;
constexpr std::uint64_t kReferenceBits = 17;

struct Reference {
    std::uint8_t length = 0;    // 0 for none, else kSzddMinMatch to kSzddMaxMatch
    std::uint16_t distance = 0; // how far back it starts: 1 to the window size
};

std::uint32_t HashOf(const std::uint8_t* bytes)
{
    const std::uint32_t key = static_cast<std::uint32_t>(bytes[0]) << 16 |
                              static_cast<std::uint32_t>(bytes[1]) << 8 | bytes[2];
    return (key * 2654435761u) >> (32 - kHashBits);
}

// The longest reference for text[at], among the earlier positions of the same hash that the
// window still reaches, newest first. `older` links every position to the previous one of its
// hash; it is a ring of one window, since a position further back is out of reach.
Reference LongestAt(const std::vector<std::uint8_t>& text, std::size_t at, std::int32_t candidate,
                    const std::vector<std::int32_t>& older)
{
    const std::size_t limit = std::min(kSzddMaxMatch, text.size() - at);
    const std::uint8_t* here = text.data() + at;
    std::size_t bestLength = 0;
    std::size_t bestDistance = 0;
    while (candidate != kNoPosition && at - static_cast<std::size_t>(candidate) <= kSzddWindowSize) {
        const std::uint8_t* there = text.data() + candidate;
        // Only a reference that also matches one byte further can be longer.
        if (there[bestLength] == here[bestLength]) {
            std::size_t length = 0;
            while (length < limit && there[length] == here[length]) {
                ++length;
            }
            if (length > bestLength) {
                bestLength = length;
                bestDistance = at - static_cast<std::size_t>(candidate);
                if (length == limit) {
                    break;
                }
            }
        }
        candidate = older[static_cast<std::size_t>(candidate) % kSzddWindowSize];
    }
    if (bestLength < kSzddMinMatch) {
        return {};
    }
    return {static_cast<std::uint8_t>(bestLength), static_cast<std::uint16_t>(bestDistance)};
}

// The longest reference at every byte of the original.
std::vector<Reference> LongestReferences(std::span<const std::uint8_t> original)
{
    std::vector<std::uint8_t> text;
    text.reserve(kLead + original.size());
    text.resize(kLead, checker::kSzddWindowFill);
    for (const std::uint8_t byte : original) {
        text.push_back(byte);
    }

    std::vector<Reference> references(original.size());
    std::vector<std::int32_t> newest(std::size_t{1} << kHashBits, kNoPosition);
    std::vector<std::int32_t> older(kSzddWindowSize, kNoPosition);
    for (std::size_t at = 0; at + kSzddMinMatch <= text.size(); ++at) {
        const std::uint32_t hash = HashOf(text.data() + at);
        if (at >= kLead) {
            references[at - kLead] = LongestAt(text, at, newest[hash], older);
        }
        older[at % kSzddWindowSize] = newest[hash];
        newest[hash] = static_cast<std::int32_t>(at);
    }
    return references;
}

// For every byte at which an item starts, the length of the reference to write there, or 0 for
// a literal: the choice with the fewest bits to the end, found from the end backwards. A
// reference may be cut to any length of at least kSzddMinMatch.
std::vector<std::uint8_t> CheapestLengths(const std::vector<Reference>& references)
{
    const std::size_t size = references.size();
    std::vector<std::uint64_t> bitsFrom(size + 1, 0);
    std::vector<std::uint8_t> lengths(size, 0);
    for (std::size_t at = size; at-- > 0;) {
        std::uint64_t best = kLiteralBits + bitsFrom[at + 1];
        for (std::size_t length = kSzddMinMatch; length <= references[at].length; ++length) {
            const std::uint64_t bits = kReferenceBits + bitsFrom[at + length];
            if (bits < best) {
                best = bits;
                lengths[at] = static_cast<std::uint8_t>(length);
            }
        }
        bitsFrom[at] = best;
    }
    return lengths;
}

std::array<std::uint8_t, checker::kSzddHeaderSize> HeaderFor(std::size_t originalSize,
                                                              char nameCharacter)
{
    std::array<std::uint8_t, checker::kSzddHeaderSize> header{};
    std::copy(std::begin(checker::kSzddSignature), std::end(checker::kSzddSignature),
              header.begin());
    header[8] = checker::kSzddModeA;
    header[9] = static_cast<std::uint8_t>(nameCharacter);
    for (std::size_t i = 0; i < 4; ++i) {
        header[10 + i] = static_cast<std::uint8_t>(originalSize >> (8 * i));
    }
    return header;
}

} // namespace

std::vector<std::uint8_t> CompressSzdd(std::span<const std::uint8_t> original, char nameCharacter)
{
    const std::vector<Reference> references = LongestReferences(original);
    const std::vector<std::uint8_t> lengths = CheapestLengths(references);

    const auto header = HeaderFor(original.size(), nameCharacter);
    std::vector<std::uint8_t> out(header.begin(), header.end());
    out.reserve(header.size() + original.size() + original.size() / 8 + 1);

    // The items in groups of eight behind their flag byte; the last group may be shorter, and
    // nothing follows its last item.
    std::size_t flagAt = 0;
    unsigned bit = 8;
    for (std::size_t at = 0; at < original.size();) {
        if (bit == 8) {
            flagAt = out.size();
            out.push_back(0);
            bit = 0;
        }
        const std::size_t length = lengths[at];
        if (length == 0) {
            out[flagAt] |= static_cast<std::uint8_t>(1u << bit);
            out.push_back(original[at]);
            ++at;
        } else {
            const std::size_t from =
                (kSzddWindowStart + at + kSzddWindowSize - references[at].distance) %
                kSzddWindowSize;
            out.push_back(static_cast<std::uint8_t>(from & 0xFF));
            out.push_back(static_cast<std::uint8_t>((from >> 8) << 4 | (length - kSzddMinMatch)));
            at += length;
        }
        ++bit;
    }
    return out;
}

} // namespace medium
