#include "ui/destination_rules.h"

#include "base/bounded_text.h"

bool FitsDestination(const char* destination)
{
    return TextLength(destination) < kPathSize;
}

bool HasDriveForm(const char* destination)
{
    // Each test stops at the terminator, so a short text is never read past its end.
    return destination[0] != '\0' && destination[1] == ':' && destination[2] == '\\';
}

void BuildRootPath(const char* destination, char (&root)[kRootPathSize])
{
    root[0] = AsciiUpper(destination[0]);
    root[1] = ':';
    root[2] = '\\';
    root[3] = '\0';
}

std::uint64_t FreeKilobytes(std::uint32_t sectorsPerCluster, std::uint32_t bytesPerSector,
                            std::uint32_t freeClusters)
{
    const std::uint64_t clusterBytes =
        static_cast<std::uint64_t>(sectorsPerCluster) * bytesPerSector;
    if ((clusterBytes >> 32) != 0) {
        // A cluster of 4 GB or more exists on no drive; a count that claims one would overflow
        // the product, so it is taken as plenty of room rather than wrapped around.
        return freeClusters != 0 ? (~std::uint64_t{0} >> 10) : 0;
    }
    // Two factors below 2^32: the product is exact in 64 bits.
    return (clusterBytes * freeClusters) >> 10;
}

bool HasEnoughSpace(std::uint64_t freeKilobytes, std::int16_t minimumKilobytes)
{
    const auto minimum = static_cast<std::uint64_t>(static_cast<std::int64_t>(minimumKilobytes));
    return freeKilobytes >= minimum;
}
