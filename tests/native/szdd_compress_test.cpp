#include "szdd/szdd_writer.h"

#include "szdd/szdd_reader.h"
#include "common/szdd_cases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include <string>
#include <vector>

namespace {

using szdd::kSzddHeaderSize;
using szdd::kSzddMaxMatch;
using szdd::kSzddMinMatch;
using szdd::kSzddWindowSize;

constexpr std::uint64_t kLiteralBits = 9;   // with its flag bit
constexpr std::uint64_t kReferenceBits = 17;

// Runs of a few byte values with lengths about those of the references, as in programs' padding
// and tables: the data that makes references hard to find.
std::vector<std::uint8_t> RunsOfBytes(std::size_t size, std::uint32_t seed)
{
    std::mt19937 generator(seed);
    const std::uint8_t values[] = {0, 0, 0, ' ', 0xFF, 0x90};
    const std::size_t lengths[] = {1, 2, 3, 4, 5, 8, 16, 17, 18, 19, 20, 37, 300};
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < size) {
        const std::uint8_t value = generator() % 4 == 0 ? static_cast<std::uint8_t>(generator())
                                                        : values[generator() % std::size(values)];
        bytes.insert(bytes.end(), lengths[generator() % std::size(lengths)], value);
    }
    bytes.resize(size);
    return bytes;
}

// The fewest bits that any cut of `original` into literals and references takes: every window
// position tried at every byte for the longest reference, then the cheapest cut from the end.
std::uint64_t FewestBits(const std::vector<std::uint8_t>& original)
{
    const std::size_t size = original.size();
    const auto byteAt = [&](std::size_t i, std::size_t back) -> std::uint8_t {
        return i >= back ? original[i - back] : ' '; // before the start: the window's blanks
    };
    std::vector<std::uint64_t> bits(size + 1, 0);
    for (std::size_t i = size; i-- > 0;) {
        const std::size_t limit = std::min(kSzddMaxMatch, size - i);
        std::size_t longest = 0;
        for (std::size_t distance = 1; distance <= kSzddWindowSize && longest < limit; ++distance) {
            std::size_t length = 0;
            while (length < limit && byteAt(i + length, distance) == original[i + length]) {
                ++length;
            }
            longest = std::max(longest, length);
        }
        bits[i] = kLiteralBits + bits[i + 1];
        for (std::size_t length = kSzddMinMatch; length <= longest; ++length) {
            bits[i] = std::min(bits[i], kReferenceBits + bits[i + length]);
        }
    }
    return bits[0];
}

// The bits of a compressed file's items, read from its flag bytes.
std::uint64_t BitsOf(const std::vector<std::uint8_t>& file, std::size_t originalSize)
{
    std::uint64_t bits = 0;
    std::size_t in = kSzddHeaderSize;
    std::size_t produced = 0;
    while (produced < originalSize && in < file.size()) {
        const std::uint8_t flags = file[in++];
        for (int bit = 0; bit < 8 && produced < originalSize && in < file.size(); ++bit) {
            if ((flags >> bit) & 1) {
                bits += kLiteralBits;
                ++produced;
                ++in;
            } else {
                bits += kReferenceBits;
                produced += kSzddMinMatch + (file[in + 1] & 0x0F);
                in += 2;
            }
        }
    }
    return bits;
}

// The round-trip table: the shared tricky files, every size up to 20 bytes, sizes about the
// window's, blank runs that the window's fill serves, and references that overlap what they write.
std::vector<SzddCase> RoundTripCases()
{
    std::vector<SzddCase> cases = TrickySzddCases();
    const std::vector<std::uint8_t> text = SampleText();
    for (std::size_t size = 0; size <= 20; ++size) {
        cases.push_back({"random " + std::to_string(size), RandomBytes(size, 100 + size)});
        cases.push_back({"blanks " + std::to_string(size), std::vector<std::uint8_t>(size, ' ')});
        cases.push_back({"abc " + std::to_string(size), Repeated(BytesOf("abc"), size)});
    }
    for (const std::size_t size : {4095, 4096, 4097}) {
        cases.push_back({"random " + std::to_string(size), RandomBytes(size, 4000)});
        cases.push_back({"text " + std::to_string(size),
                         std::vector<std::uint8_t>(text.begin(), text.begin() + size)});
        cases.push_back({"blanks " + std::to_string(size), std::vector<std::uint8_t>(size, ' ')});
    }
    cases.push_back({"blank runs across the window's fill",
                     BytesOf(std::string(30, ' ') + "data" + std::string(4100, ' ') + "end" +
                             std::string(17, ' ') + "x" + std::string(40, ' '))});
    cases.push_back(
        {"data that begins with blanks", BytesOf("  \t  Kestrel" + std::string(300, ' '))});
    cases.push_back({"period 1", std::vector<std::uint8_t>(1000, 'a')});
    cases.push_back({"period 2", Repeated(BytesOf("ab"), 1001)});
    cases.push_back({"period 17", Repeated(RandomBytes(17, 17), 5000)});
    cases.push_back({"period 19", Repeated(RandomBytes(19, 19), 5000)});
    cases.push_back({"period 4097, past the window", Repeated(RandomBytes(4097, 3), 20000)});
    return cases;
}

std::uint32_t HeaderSize(const std::vector<std::uint8_t>& file)
{
    std::uint32_t expanded = 0;
    EXPECT_EQ(szdd::ReadSzddHeader(file.data(), file.size(), expanded),
              szdd::SzddKind::Compressed);
    return expanded;
}

TEST(CompressSzdd, EveryFileExpandsBackByteForByte)
{
    for (const SzddCase& row : RoundTripCases()) {
        const std::vector<std::uint8_t> file = szdd::CompressSzdd(row.original, 'D');
        ASSERT_GE(file.size(), kSzddHeaderSize) << row.name;
        EXPECT_EQ(HeaderSize(file), row.original.size()) << row.name;
        EXPECT_EQ(file[9], 'D') << row.name;
        // The expander reads to the end of the file: nothing may follow the last item.
        EXPECT_EQ(szdd::ExpandSzdd(file.data(), file.size()), row.original) << row.name;
        // At worst every byte is a literal, with a flag byte for every eight.
        const std::size_t literalOnly =
            kSzddHeaderSize + row.original.size() + (row.original.size() + 7) / 8;
        EXPECT_LE(file.size(), literalOnly) << row.name;
    }
}

// No cut of the file into items takes fewer bits: the references found are the longest, and the
// cut is the cheapest. Runs of blanks come from the window's fill, a byte left over is cheaper as
// a literal than as one more reference, and the longest reference is not always the best start
// (after "ABC" and "BCDEFGHIJKLMNOPQRS", "ABCDEFGHIJKLMNOPQRS" is the literal "A" and one
// reference, where a greedy coder takes "ABC" and then "DEF...S").
TEST(CompressSzdd, TakesTheFewestBitsOfAnyCut)
{
    const std::vector<std::uint8_t> text = SampleText();
    const std::vector<std::uint8_t> block = RandomBytes(700, 9);
    const struct {
        const char* what;
        std::vector<std::uint8_t> original;
    } table[] = {
        {"runs of bytes", RunsOfBytes(6000, 1)},
        {"more runs of bytes", RunsOfBytes(6000, 2)},
        {"runs reaching past the window", RunsOfBytes(9000, 3)},
        {"runs longer than any before them", [] {
             std::vector<std::uint8_t> bytes;
             for (std::size_t length = 1; length <= 40; ++length) {
                 bytes.insert(bytes.end(), length, 0);
                 bytes.push_back(static_cast<std::uint8_t>(length));
             }
             return bytes;
         }()},
        {"text", std::vector<std::uint8_t>(text.begin(), text.begin() + 6000)},
        {"blank runs", BytesOf("x" + std::string(2, ' ') + "x" + std::string(19, ' ') + "x" +
                               std::string(20, ' ') + "x" + std::string(37, ' ') + "x" +
                               std::string(4100, ' '))},
        {"a greedy start", BytesOf("ABC-BCDEFGHIJKLMNOPQRS-ABCDEFGHIJKLMNOPQRS")},
        {"a repeat exactly one window back", [] {
             std::vector<std::uint8_t> bytes = RandomBytes(kSzddWindowSize, 4096);
             bytes.insert(bytes.end(), bytes.begin(), bytes.begin() + 300);
             return bytes;
         }()},
        {"repeats with changes", [&] {
             std::vector<std::uint8_t> bytes = Repeated(block, 6000);
             for (std::size_t i = 0; i < bytes.size(); i += 97) {
                 bytes[i] ^= 0x5A;
             }
             return bytes;
         }()},
    };
    for (const auto& row : table) {
        const std::vector<std::uint8_t> file = szdd::CompressSzdd(row.original, 'B');
        EXPECT_EQ(BitsOf(file, row.original.size()), FewestBits(row.original)) << row.what;
    }
}

} // namespace
