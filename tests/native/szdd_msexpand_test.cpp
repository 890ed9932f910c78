// The compressor's files expand back through Debian's msexpand, an SZDD expander of its own.
#include "szdd/szdd_writer.h"

#include "authoring/folder.h"
#include "common/szdd_cases.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(CompressSzdd, TrickyFilesExpandThroughMsexpand)
{
    ASSERT_EQ(std::system("command -v msexpand >/dev/null"), 0)
        << "msexpand is missing: install the package mscompress";
    const int seed = ::testing::UnitTest::GetInstance()->random_seed();
    const fs::path folder = fs::temp_directory_path() / ("szdd_msexpand_" + std::to_string(seed));
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const SzddCase& row : TrickySzddCases()) {
        const std::vector<std::uint8_t> file = szdd::CompressSzdd(row.original, row.name.back());
        const fs::path compressed = folder / (row.name + "_");
        const fs::path expanded = folder / row.name;
        std::ofstream(compressed, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()),
                   static_cast<std::streamsize>(file.size()));
        const std::string command =
            "msexpand < '" + compressed.string() + "' > '" + expanded.string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << row.name;
        EXPECT_EQ(authoring::ReadFileBytes(expanded.string()), row.original) << row.name;
    }
    fs::remove_all(folder);
}

} // namespace
