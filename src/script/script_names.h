// The names of SETUP.INF's sections and keys, and of the files that a medium and an install hold.
// SETUP.EXE takes the section and key names from its string table; the disk author's tools, the
// fuzzers and the native tests, which have no string table, name them here.
#pragma once

#include "base/file_table.h"
#include "base/text_catalogue.h"

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

// The string table's text of `id` among the names above, as SETUP.EXE's loader asks for them;
// null for every other id.
constexpr const char* ScriptText(unsigned id)
{
    if (id >= kTextDisk1 && id < kTextDisk1 + kMaxDisks) {
        return kDiskNames[id - kTextDisk1];
    }
    if (id >= kTextRootDir && id < kTextRootDir + kDirectoryKeyCount) {
        return kDirectoryKeys[id - kTextRootDir];
    }
    switch (id) {
    case kTextDiskLabelSection: return kDiskLabelSection;
    case kTextDirectoryNameSection: return kDirectoryNameSection;
    case kTextFileCountsSection: return kFileCountsSection;
    case kTextMainSection: return kMainSection;
    case kTextDefaultPath: return kDefaultPathKey;
    case kTextMinimumSpace: return kMinimumSpaceKey;
    case kTextSetupProgram: return kSetupProgramText;
    case kTextProductName: return kProductNameKey;
    case kTextDriverName: return kDriverNameKey;
    case kTextOemData1: return kOemData1Key;
    case kTextOemData2: return kOemData2Key;
    default: return nullptr;
    }
}
