// The record of one file to copy and the sizes of the script-derived slots.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::size_t kPathSize = 80;          // every path buffer: 79 characters and the NUL
constexpr std::size_t kCaptionSize = 80;       // the product name, a blank and "Setup Program"
constexpr std::size_t kProductNameSize = 60;   // holds at most 31 characters as read
constexpr std::size_t kProductNameReadSize = 32;
constexpr std::size_t kDriverNameSize = 20;
constexpr std::size_t kDriverNameReadSize = 32;
constexpr std::size_t kDiskLabelSize = 40;
constexpr std::size_t kDiskLabelReadSize = 128;
constexpr std::size_t kFileLineSize = 128;
constexpr std::size_t kNumberedKeySize = 6;    // a file line's key: 1 to 32767 in decimal
constexpr int kMaxDisks = 6;
constexpr int kDiskSlots = 8;
// The directory keys: RootDir, SubDir1-6, WinDir, WinSystemDir, WinInfDir.
constexpr int kDirectoryKeyCount = 10;
constexpr int kFirstWindowsKey = 7;            // WinDir; this key and the two after it are absolute
constexpr std::size_t kFileTableSpareBytes = 600;

struct FileEntry {
    char directoryValue[40]; // the [DirectoryName] value of the line's directory key
    char targetDir[40];      // relative to the destination, or a full path when absoluteTarget is 1
    char sourceName[15];     // file beside the program, possibly LZ-compressed
    char targetName[15];     // name the file gets in its target directory
    char description[62];    // shown on the copy page while the file is copied
    std::int32_t absoluteTarget;
};
static_assert(sizeof(FileEntry) == 176, "a file record is 176 bytes");
static_assert(offsetof(FileEntry, absoluteTarget) == 172, "the record has no gaps");
