// UNINSTAL.EXE can neither delete itself nor the folder it runs from. Once the uninstall is done,
// a copy of it in the temporary folder waits for the program to end, deletes it and its folder,
// and leaves only itself to the next start of Windows.
#pragma once

// Starts the copy that deletes `program` once this process has ended, and then `folder` (none
// when empty) if that is left empty. False when no copy could be started: the program then goes
// at the next start of Windows, if it can.
bool RemoveAfterExit(const char* program, const char* folder);

// When this process is such a copy (its command line names what to remove), does that work and
// returns true; `ownPath` is the copy itself.
bool FinishCleanup(const char* ownPath);
