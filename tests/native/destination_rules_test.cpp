#include "ui/destination_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DestinationForm, NeedsColonSecondAndBackslashThird)
{
    const struct {
        const char* destination;
        bool driveForm;
    } table[] = {
        {"C:\\PAD", true},
        {"c:\\pad", true},
        {"C:\\", true},
        {"7:\\PAD", true},   // the first character is not examined
        {"C:PAD", false},
        {"C:/PAD", false},
        {"\\\\SERVER\\SHARE", false},
        {"PAD", false},
        {"C:", false},
        {"C", false},
        {"", false},
    };
    for (const auto& row : table) {
        EXPECT_EQ(HasDriveForm(row.destination), row.driveForm) << row.destination;
    }
}

TEST(DestinationRootPath, FirstCharacterUpperCasedThenColonBackslash)
{
    const struct {
        const char* destination;
        const char* root;
    } table[] = {
        {"C:\\PAD", "C:\\"},
        {"d:\\games\\pad", "D:\\"},
        {"z:\\", "Z:\\"},
        {"\\\\SERVER", "\\:\\"},
        {"1:\\", "1:\\"},
        {"\xE4:\\", "\xE4:\\"}, // only ASCII letters change case
    };
    for (const auto& row : table) {
        char root[kRootPathSize] = {'x', 'x', 'x', 'x'};
        BuildRootPath(row.destination, root);
        EXPECT_STREQ(root, row.root) << row.destination;
    }
}

TEST(FreeSpace, KilobytesFromClusterCounts)
{
    const struct {
        std::uint32_t sectorsPerCluster, bytesPerSector, freeClusters;
        std::uint64_t kilobytes;
    } table[] = {
        {64, 512, 1000, 32000},          // 32,768,000 bytes
        {8, 512, 1048576, 4194304},      // 4 GB: beyond 32 bits in bytes
        {64, 512, 65535, 2097120},       // the most a Windows 98 drive reports
        {1, 512, 1, 0},                  // half a kilobyte rounds down
        {1, 512, 3, 1},
        {128, 4096, 0xFFFFFFFFu, 0x1FFFFFFFE00ull}, // (2^51 - 2^19) / 1024
        {0, 512, 1000, 0},
    };
    for (const auto& row : table) {
        EXPECT_EQ(FreeKilobytes(row.sectorsPerCluster, row.bytesPerSector, row.freeClusters),
                  row.kilobytes)
            << row.sectorsPerCluster << " x " << row.bytesPerSector << " x " << row.freeClusters;
    }
}

TEST(FreeSpace, ImpossiblyLargeClustersDoNotWrapAround)
{
    EXPECT_GT(FreeKilobytes(0xFFFFFFFFu, 0xFFFFFFFFu, 2), 0xFFFFFFFFull);
    EXPECT_EQ(FreeKilobytes(0xFFFFFFFFu, 0xFFFFFFFFu, 0), 0u);
}

TEST(FreeSpace, MinimumIsSignExtendedAndComparedUnsigned)
{
    const struct {
        std::uint64_t freeKilobytes;
        std::int16_t minimum;
        bool enough;
    } table[] = {
        {32000, 1024, true},
        {1024, 1024, true},
        {1023, 1024, false},
        {0, 0, true},                    // a minimum of 0 always passes
        {0, 1, false},
        {4194304, 1024, true},
        {4194304, 32767, true},
        {0xFFFFFFFFull, -1, false},      // 65535 in the script: above any free space
        {0xFFFFFFFFull, -32768, false},  // 32768 in the script
        {~0ull >> 10, -1, false},
    };
    for (const auto& row : table) {
        EXPECT_EQ(HasEnoughSpace(row.freeKilobytes, row.minimum), row.enough)
            << row.freeKilobytes << " KB against " << row.minimum;
    }
}

} // namespace
