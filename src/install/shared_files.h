// Files that several programs share in the Windows folders carry a use count, as Windows' own
// setup keeps it: a value per full path below
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs.
#pragma once

#include <windows.h>

// Raises the use count of `path` by one for this install, unless the install record already
// counts it (a reinstall counts once), and then records that it did. A file that was there
// without a count (`otherOwner`) belonged to another program, whose use counts one as well.
void RaiseUseCount(const char* path, bool otherOwner);

// Lowers the use count of `path` by one. True when no use is left: the count was 1 or there was
// none, and its value is gone. False when other uses remain, or the counts cannot be read.
bool LowerUseCount(const char* path);

// True when `path` has a use count.
bool HasUseCount(const char* path);

