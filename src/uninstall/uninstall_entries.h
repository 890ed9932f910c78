// The entries of Windows' list of installed programs that start this uninstall program.
#pragma once

// Removes every uninstall entry whose command starts `ownPath` and that has no subkeys: once the
// program goes, no entry may point at it.
void RemoveEntriesNaming(const char* ownPath);
