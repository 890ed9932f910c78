// What SETUP.EXE takes from its script: the values that the loading sequence (read_script.h)
// writes. SetupState derives from it, so the program uses these fields by their own names; the
// script checker keeps one beside what it knows of where each value came from.
#pragma once

#include <cstdint>

#include "base/file_table.h"

struct ScriptSettings {
    char productName[kProductNameSize] = {};
    char caption[kCaptionSize] = {};   // productName, a blank and "Setup Program"
    char destDir[kPathSize] = {};      // the default destination; the user may change it later
    char driverName[kDriverNameSize] = {};
    std::int32_t oemData1 = 0;
    std::int32_t oemData2 = 0;
    std::int16_t minimumSpaceKb = 0;

    // The disks (one for every non-empty label), the directory names and the file counts.
    std::int16_t diskCount = 0;
    char diskLabels[kMaxDisks][kDiskLabelSize] = {};
    char directoryNames[kDirectoryKeyCount][kPathSize] = {};
    std::int16_t fileCounts[kDiskSlots] = {};
    std::int16_t totalFiles = 0;
};
