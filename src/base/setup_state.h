// The one process-wide record of settings and progress that every part of the program shares.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/text_catalogue.h"
#include "base/file_table.h"
#include "base/script_settings.h"

// What a wizard page leaves behind.
enum PageResult : std::int16_t {
    kPageCancel = 0,
    kPageNext = 1,
    kPageBack = 2,
};

// Private messages: the start of a page's work, and the browse dialog's refresh.
constexpr UINT WM_SETUP_START = WM_USER + 100;
constexpr UINT WM_SETUP_REFRESH = WM_USER + 101;

constexpr LONG kLzNotOpen = -1;
constexpr std::size_t kFailedNamesSize = 256;

// Asks for a state that is all zero (see g_setup).
struct ZeroFilled {};

// The script's settings (product name, caption, default destination, driver, disks, directory
// names, file counts) come from ScriptSettings; the rest is the program's own.
struct SetupState : ScriptSettings {
    // The initial values: every field as given below.
    SetupState() = default;
    // All zero: every field whose initial value is not zero is named here.
    explicit constexpr SetupState(ZeroFilled)
        : restartNow(0), lzSource(0), lzTarget(0), textIndex(0)
    {
    }

    HINSTANCE instance = nullptr;
    std::int16_t screenWidth = 0;
    std::int16_t screenHeight = 0;
    char windowsDir[kPathSize] = {};
    char sourceDir[kPathSize] = {};

    // The file table: each counted disk's first record, and the block that holds them.
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
    // The folder that the destination page made last (empty: none), which the install record
    // then names as the setup's own.
    char madeDestination[kPathSize] = {};

    // Files that the copy page could not copy: how many, and as many source names as fit.
    std::int16_t failedFileCount = 0;
    char failedFileNames[kFailedNamesSize] = {};

    std::uint32_t textIndex = kTextBufferCount;
    char textBuffers[kTextBufferCount][kTextBufferSize] = {};
};

// The one state. It is constant-initialised all zero, so that it takes no room in SETUP.EXE (the
// program has no static constructors); the entry point gives it its initial values first.
extern constinit SetupState g_setup;
