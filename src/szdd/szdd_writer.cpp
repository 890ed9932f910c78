#include "szdd/szdd_writer.h"

#include <algorithm>
#include <array>

#include "szdd/szdd_format.h"

namespace szdd {

namespace {

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

// Finds the longest reference at every byte of the original with hash chains over the blanks in
// front and the original: the candidates are the earlier positions of the same three bytes that
// the window still reaches, newest first. `older_` links a position to the previous one of its
// hash; it is a ring of one window, since a position further back is out of reach.
//
// Runs of one byte (zeros in programs, blanks in texts) make long chains of candidates that the
// first bytes cannot tell apart. Where the run here is of at least three bytes, a candidate of
// the same byte is judged by the length of its run: the positions of a run reach further the
// earlier they lie in it, one byte a position. So a run longer than the one here matches it
// exactly, at any of its positions, and is passed over as a whole; of a shorter run, only the
// position whose run is as long as the one here can match further, and when there is none the
// run's first position in reach is its best.
class ReferenceFinder {
public:
    explicit ReferenceFinder(std::span<const std::uint8_t> original)
        : text_(kLead + original.size(), kSzddWindowFill),
          runLength_(text_.size()),
          runStart_(text_.size()),
          newest_(std::size_t{1} << kHashBits, kNoPosition),
          older_(kSzddWindowSize, kNoPosition)
    {
        std::copy(original.begin(), original.end(), text_.begin() + kLead);
        for (std::size_t at = text_.size(); at-- > 0;) {
            const bool goesOn = at + 1 < text_.size() && text_[at + 1] == text_[at];
            const std::size_t length = goesOn ? runLength_[at + 1] + std::size_t{1} : 1;
            runLength_[at] = static_cast<std::uint8_t>(std::min(length, kSzddMaxMatch));
        }
        for (std::size_t at = 0; at < text_.size(); ++at) {
            const bool continues = at > 0 && text_[at - 1] == text_[at];
            runStart_[at] = continues ? runStart_[at - 1] : static_cast<std::int32_t>(at);
        }
    }

    std::vector<Reference> LongestReferences()
    {
        std::vector<Reference> references(text_.size() - kLead);
        for (std::size_t at = 0; at + kSzddMinMatch <= text_.size(); ++at) {
            const std::uint32_t hash = HashOf(text_.data() + at);
            if (at >= kLead) {
                references[at - kLead] = LongestAt(at, newest_[hash]);
            }
            older_[at % kSzddWindowSize] = newest_[hash];
            newest_[hash] = static_cast<std::int32_t>(at);
        }
        return references;
    }

private:
    static bool InReach(std::size_t at, std::int32_t candidate)
    {
        return candidate != kNoPosition &&
               at - static_cast<std::size_t>(candidate) <= kSzddWindowSize;
    }

    // The candidate before all of the run that holds `position`.
    std::int32_t BeforeRunOf(std::size_t at, std::size_t position) const
    {
        const std::int32_t start = runStart_[position];
        return InReach(at, start) ? older_[static_cast<std::size_t>(start) % kSzddWindowSize]
                                  : kNoPosition;
    }

    Reference LongestAt(std::size_t at, std::int32_t candidate) const
    {
        const std::size_t limit = std::min(kSzddMaxMatch, text_.size() - at);
        const std::uint8_t* here = text_.data() + at;
        const std::size_t run = runLength_[at];
        std::size_t bestLength = 0;
        std::size_t bestDistance = 0;
        while (InReach(at, candidate)) {
            std::size_t from = static_cast<std::size_t>(candidate);
            const std::uint8_t* there = text_.data() + from;
            const std::size_t theirs = runLength_[from];
            std::size_t length = 0;
            std::int32_t next = older_[from % kSzddWindowSize];
            if (run >= kSzddMinMatch && theirs >= kSzddMinMatch && theirs != run &&
                there[0] == here[0]) {
                const std::size_t start = static_cast<std::size_t>(runStart_[from]);
                if (theirs > run) {
                    length = run;
                    next = BeforeRunOf(at, from);
                } else if (from - start >= run - theirs) {
                    length = theirs;
                    next = static_cast<std::int32_t>(from - (run - theirs));
                } else {
                    next = BeforeRunOf(at, from);
                    from = std::max(start, at >= kSzddWindowSize ? at - kSzddWindowSize : 0);
                    length = runLength_[from];
                }
            } else if (there[bestLength] == here[bestLength]) {
                // Only a reference that also matches one byte further can be longer.
                while (length < limit && there[length] == here[length]) {
                    ++length;
                }
            }
            if (length > bestLength) {
                bestLength = length;
                bestDistance = at - from;
                if (length == limit) {
                    break;
                }
            }
            candidate = next;
        }
        if (bestLength < kSzddMinMatch) {
            return {};
        }
        return {static_cast<std::uint8_t>(bestLength), static_cast<std::uint16_t>(bestDistance)};
    }

    std::vector<std::uint8_t> text_;      // the blanks in front, then the original
    std::vector<std::uint8_t> runLength_; // how many bytes from here on equal this one, at most 18
    std::vector<std::int32_t> runStart_;  // where the run of equal bytes that holds this one starts
    std::vector<std::int32_t> newest_;    // by hash: the newest position
    std::vector<std::int32_t> older_;     // by position in the window: the previous of its hash
};

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

std::array<std::uint8_t, kSzddHeaderSize> HeaderFor(std::size_t originalSize,
                                                              char nameCharacter)
{
    std::array<std::uint8_t, kSzddHeaderSize> header{};
    std::copy(std::begin(kSzddSignature), std::end(kSzddSignature),
              header.begin());
    header[kSzddModeAt] = kSzddModeA;
    header[kSzddNameCharacterAt] = static_cast<std::uint8_t>(nameCharacter);
    for (std::size_t i = 0; i < 4; ++i) {
        header[kSzddSizeAt + i] = static_cast<std::uint8_t>(originalSize >> (8 * i));
    }
    return header;
}

} // namespace

std::vector<std::uint8_t> CompressSzdd(std::span<const std::uint8_t> original, char nameCharacter)
{
    const std::vector<Reference> references = ReferenceFinder(original).LongestReferences();
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

} // namespace szdd
