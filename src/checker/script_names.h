// The names of SETUP.INF's sections and keys, and the read sizes that SETUP.EXE's loader uses with
// them (its defaults are the loader's own, in script_rules.h). SETUP.EXE takes the names from its
// string table; the checker, which has no string table, names them here.
#pragma once

#include <cstddef>

#include "script/file_table.h"
#include "script/script_rules.h"

namespace checker {

inline constexpr char kMainSection[] = "Main";
inline constexpr char kDiskLabelSection[] = "DiskLabel";
inline constexpr char kDirectoryNameSection[] = "DirectoryName";
inline constexpr char kFileCountsSection[] = "FileCounts";

inline constexpr char kDefaultPathKey[] = "DefaultPath";
inline constexpr char kProductNameKey[] = "ProductName";
inline constexpr char kDriverNameKey[] = "DriverName";
inline constexpr char kOemData1Key[] = "OEMData1";
inline constexpr char kOemData2Key[] = "OEMData2";
inline constexpr char kMinimumSpaceKey[] = "MinimumSpace";

// "Disk1" to "Disk6": the disk-label keys, the file-count keys and the file sections.
inline constexpr const char* kDiskNames[kMaxDisks] = {"Disk1", "Disk2", "Disk3",
                                                      "Disk4", "Disk5", "Disk6"};

// The [DirectoryName] keys in the loader's order, which are also the file lines' directory keys.
inline constexpr const char* kDirectoryKeys[kDirectoryKeyCount] = {
    "RootDir", "SubDir1", "SubDir2", "SubDir3", "SubDir4",
    "SubDir5", "SubDir6", "WinDir",  "WinSystemDir", "WinInfDir"};

// The caption's second part, after the product name and a blank.
inline constexpr char kSetupProgramText[] = "Setup Program";

// How many characters the loader asks the reader for (the buffer size it passes).
inline constexpr std::size_t kDefaultPathReadSize = kPathSize;
inline constexpr std::size_t kDirectoryReadSize = kPathSize;

// The path that the copy page's and the loader's fixed buffers hold: 79 characters.
inline constexpr std::size_t kLongestPath = kPathSize - 1;

} // namespace checker
