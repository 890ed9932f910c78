// The SZDD compressor over arbitrary originals: its file must expand back to the original, with
// the original's size in the header, and never be larger than all literals.
#include "szdd/szdd_reader.h"
#include "fuzz_input.h"
#include "szdd/szdd_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> original(data, size);
    const std::vector<std::uint8_t> file = szdd::CompressSzdd(original, 'F');
    std::uint32_t expandedSize = 0;
    Require(szdd::ReadSzddHeader(file.data(), file.size(), expandedSize) ==
            szdd::SzddKind::Compressed);
    Require(expandedSize == size);
    Require(file.size() <= szdd::kSzddHeaderSize + size + (size + 7) / 8);
    const std::vector<std::uint8_t> expanded = szdd::ExpandSzdd(file.data(), file.size());
    Require(expanded.size() == size && std::equal(expanded.begin(), expanded.end(), data));
    return 0;
}
