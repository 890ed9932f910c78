// The files that setup-medium compresses, expanded by the platform's LZ calls as the copy page
// expands them: LZOpenFileA, LZCopy, LZClose. Every one must come back byte for byte, whatever
// its size.
#include "common/szdd_cases.h"
#include "szdd/szdd_writer.h"
#include "support/test_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kFolder = "C:\\LZCASES";

TEST(LzExpand, TrickyFilesExpandThroughLzCopy)
{
    FreshFolder(kFolder);
    for (const SzddCase& row : TrickySzddCases()) {
        const std::vector<std::uint8_t> file = szdd::CompressSzdd(row.original, row.name.back());
        std::string source = kFolder + "\\" + row.name;
        source.back() = '_';
        const std::string target = kFolder + "\\" + row.name;
        ASSERT_TRUE(WriteWholeFile(source, std::string(file.begin(), file.end()))) << row.name;

        OFSTRUCT info{};
        const INT from = LZOpenFileA(const_cast<char*>(source.c_str()), &info, OF_READ);
        ASSERT_GE(from, 0) << row.name;
        const INT to = LZOpenFileA(const_cast<char*>(target.c_str()), &info, OF_CREATE);
        ASSERT_GE(to, 0) << row.name;
        const LONG copied = LZCopy(from, to);
        LZClose(from);
        LZClose(to);

        EXPECT_EQ(copied, static_cast<LONG>(row.original.size())) << row.name;
        EXPECT_EQ(ReadWholeFile(target), std::string(row.original.begin(), row.original.end()))
            << row.name;
    }
    RemoveTree(kFolder);
}

} // namespace
