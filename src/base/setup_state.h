// The one process-wide record of settings and progress that every part of the program shares.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/file_table.h"
#include "base/script_settings.h"

// Asks for a state that is all zero (see g_setup).
struct ZeroFilled {};

// The script's settings (product name, caption, default destination, driver, disks, directory
// names, file counts) come from ScriptSettings; the rest is the program's own.
struct SetupState : ScriptSettings {
    // The initial values: every field as given below.
    SetupState() = default;
    // All zero: every field whose initial value is not zero is named here.
    explicit constexpr SetupState(ZeroFilled)
        : restartNow(0)
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

    std::int16_t pageResult = 0; // what the page that ran last left (ui/page_host.h)
    std::int32_t restartNow = 1;
    HWND mainWindow = nullptr;
    HFONT titleFont = nullptr;
    // The folder that the destination page made last (empty: none), which the install record
    // then names as the setup's own.
    char madeDestination[kPathSize] = {};
};

// The one state. It is constant-initialised all zero, so that it takes no room in SETUP.EXE (the
// program has no static constructors); the entry point gives it its initial values first.
extern constinit SetupState g_setup;
