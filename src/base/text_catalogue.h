// Texts of the program's string table, fetched by id into four rotating buffers.
#pragma once

#include <cstddef>

constexpr std::size_t kTextBufferCount = 4;
constexpr std::size_t kTextBufferSize = 128; // a text of the table: at most 127 characters

// The string table's ids.
enum TextId : unsigned {
    kTextDiskLabelSection = 1,
    kTextDirectoryNameSection = 2,
    kTextFileCountsSection = 3,
    kTextDisk1 = 4,           // "Disk1" to "Disk6" are 4 to 9
    kTextRootDir = 10,        // "RootDir", "SubDir1" to "SubDir6", "WinDir", "WinSystemDir",
                              // "WinInfDir" are 10 to 19
    kTextReadingError = 20,
    kTextMainSection = 22,
    kTextDefaultPath = 23,
    kTextMinimumSpace = 25,
    kTextNotCompleted = 28,
    kTextSetupProgram = 29,
    kTextProductName = 30,
    kTextDirectoryExists = 32,
    kTextCannotCreate = 33,
    kTextNoFreeSpace = 34,
    kTextCopying = 36,
    kTextDriverName = 41,
    kTextWindowsOnly = 42,
    kTextDirectoryMissing = 43,
    kTextOemData1 = 45,
    kTextOemData2 = 46,
    kTextFilesNotCopied = 47,
    kTextPathTooLong = 48,
    // UNINSTAL.EXE's own texts.
    kTextUninstall = 60,
    kTextRemoveQuestion = 61,
    kTextRemoved = 62,
    kTextRemovedAtRestart = 63,
    kTextFilesNotRemoved = 64,
    kTextFolderStays = 65,
    kTextNoRecord = 66,
    kTextRemoveEntry = 67,
    kTextOtherFolder = 68,
    kTextPutBack = 69,
    kTextRunAgain = 70,
};

// Loads the text `id` (low 16 bits) into the next of four 128-byte buffers and returns it, or
// null when the table has no text of that id. A result stays valid for four further calls.
char* LoadText(unsigned id);
