// The one process-wide record of settings and progress that every part of the program shares.
#pragma once

#include <windows.h>

#include <cstdint>

#include "script/file_table.h"

// What a wizard page leaves behind.
enum PageResult : std::int16_t {
    kPageCancel = 0,
    kPageNext = 1,
    kPageBack = 2,
};

// Private messages: the start of a page's work, and the browse dialog's refresh.
constexpr UINT WM_SETUP_START = WM_USER + 100;
constexpr UINT WM_SETUP_REFRESH = WM_USER + 101;

constexpr std::size_t kTextBufferCount = 4;
constexpr std::size_t kTextBufferSize = 128;
constexpr std::size_t kCaptionSize = 80;
constexpr LONG kLzNotOpen = -1;
constexpr std::size_t kFailedNamesSize = 256;

struct SetupState {
    HINSTANCE instance = nullptr;
    std::int16_t screenWidth = 0;
    std::int16_t screenHeight = 0;
    char windowsDir[kPathSize] = {};
    char sourceDir[kPathSize] = {};
    char productName[kProductNameSize] = {};
    char caption[kCaptionSize] = {};
    char destDir[kPathSize] = {};
    char driverName[kDriverNameSize] = {};
    std::int32_t oemData1 = 0;
    std::int32_t oemData2 = 0;
    std::int16_t minimumSpaceKb = 0;

    // The script's disks, directory names and file table.
    std::int16_t diskCount = 0;
    char diskLabels[kMaxDisks][kDiskLabelSize] = {};
    char directoryNames[kDirectoryKeyCount][kPathSize] = {};
    std::int16_t fileCounts[kDiskSlots] = {};
    std::int16_t totalFiles = 0;
    FileEntry* diskFiles[kDiskSlots] = {};
    HGLOBAL fileTableHandle = nullptr;
    FileEntry* fileTableBase = nullptr;

    std::int16_t pageResult = kPageCancel;
    std::int32_t restartNow = 1;
    HWND mainWindow = nullptr;
    HFONT titleFont = nullptr;
    LONG lzSource = kLzNotOpen;
    LONG lzTarget = kLzNotOpen;
    char browsePath[kPathSize] = {};

    // Files that the copy page could not copy: how many, and as many source names as fit.
    std::int16_t failedFileCount = 0;
    char failedFileNames[kFailedNamesSize] = {};

    std::uint32_t textIndex = kTextBufferCount;
    char textBuffers[kTextBufferCount][kTextBufferSize] = {};
};

// Constant-initialised: the program has no static constructors.
extern constinit SetupState g_setup;
