// Files that several programs share in the Windows folders carry a use count, as Windows' own
// setup keeps it: a value per full path below
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs.
#pragma once

#include <windows.h>

// The use count of `path` (0 when it has none), read as a REG_DWORD or as four binary bytes,
// with the type it is stored as. False when the counts cannot be had at all.
struct UseCount {
    DWORD count;
    DWORD type;
};
bool ReadUseCount(const char* path, UseCount& out);

// Stores the count of `path` in the type it had (REG_DWORD for a new one); a count of 0 goes.
bool WriteUseCount(const char* path, const UseCount& count);

// Lowers the use count of `path` by one. True when no use is left: the count was 1 or there was
// none, and its value is gone. False when other uses remain, or the counts cannot be read.
bool LowerUseCount(const char* path);

// True when `path` has a use count.
bool HasUseCount(const char* path);
