// The names of SETUP.INF's sections and keys, and of the files that a medium and an install hold.
// SETUP.EXE takes the section and key names from its string table; the disk author's tools, the
// fuzzers and the native tests, which have no string table, name them here. The file names are
// the same for all.
#pragma once

#include "base/file_table.h"
#include "base/resource_ids.h"

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

// The files of a medium: the program and the script beside it.
inline constexpr char kSetupName[] = "SETUP.EXE";
inline constexpr char kScriptName[] = "SETUP.INF";
// The files in the destination folder itself: the program that the uninstall entry runs, and the
// record of what the setup changed, which it keeps beside that program.
inline constexpr char kUninstallerName[] = "UNINSTAL.EXE";
inline constexpr char kInstallRecordName[] = "UNINSTAL.DAT";

// "Disk1" to "Disk6": the disk-label keys, the file-count keys and the file sections.
inline constexpr const char* kDiskNames[kMaxDisks] = {"Disk1", "Disk2", "Disk3",
                                                      "Disk4", "Disk5", "Disk6"};

// The [DirectoryName] keys in the loader's order, which are also the file lines' directory keys.
inline constexpr const char* kDirectoryKeys[kDirectoryKeyCount] = {
    "RootDir", "SubDir1", "SubDir2", "SubDir3", "SubDir4",
    "SubDir5", "SubDir6", "WinDir",  "WinSystemDir", "WinInfDir"};

// The caption's second part, after the product name and a blank.
inline constexpr char kSetupProgramText[] = "Setup Program";

// The loader asks for the disks' and the directory keys' names by consecutive ids.
static_assert(IDS_DISK6 == IDS_DISK1 + kMaxDisks - 1);
static_assert(IDS_WIN_INF_DIR == IDS_ROOT_DIR + kDirectoryKeyCount - 1);

// The string table's text of `id` among the names above, as SETUP.EXE's loader asks for them;
// null for every other id.
constexpr const char* ScriptText(unsigned id)
{
    if (id >= IDS_DISK1 && id < IDS_DISK1 + kMaxDisks) {
        return kDiskNames[id - IDS_DISK1];
    }
    if (id >= IDS_ROOT_DIR && id < IDS_ROOT_DIR + kDirectoryKeyCount) {
        return kDirectoryKeys[id - IDS_ROOT_DIR];
    }
    switch (id) {
    case IDS_DISK_LABEL_SECTION: return kDiskLabelSection;
    case IDS_DIRECTORY_NAME_SECTION: return kDirectoryNameSection;
    case IDS_FILE_COUNTS_SECTION: return kFileCountsSection;
    case IDS_MAIN_SECTION: return kMainSection;
    case IDS_DEFAULT_PATH: return kDefaultPathKey;
    case IDS_MINIMUM_SPACE: return kMinimumSpaceKey;
    case IDS_SETUP_PROGRAM: return kSetupProgramText;
    case IDS_PRODUCT_NAME: return kProductNameKey;
    case IDS_DRIVER_NAME: return kDriverNameKey;
    case IDS_OEM_DATA1: return kOemData1Key;
    case IDS_OEM_DATA2: return kOemData2Key;
    default: return nullptr;
    }
}
