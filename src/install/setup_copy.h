// A set of floppies takes disk 1 out of the drive, and Windows 95 and 98 read a program's code and
// resources again from its file whenever they need them: they honour no flag for running a
// program from the swap file (the linker's /SWAPRUN works from Windows NT 4.0 on). So SETUP.EXE of
// a set that is going to ask for a disk runs on from a copy of itself in the temporary folder,
// started after the destination page: the install record names the copy before it exists, the
// copy runs the copy and finish pages with the choices made here, and at its end it leaves its
// own file to the next start of Windows (the uninstall, or the next setup into the same folder,
// deletes it should it still be there).
#pragma once

#include "base/file_table.h"

// When this process is such a copy (its command line names the setup's folders), true, with the
// folder of disk 1 (where the script is read) in `sourceDir` and the destination in `destDir`.
bool ReadHandOver(char (&sourceDir)[kPathSize], char (&destDir)[kPathSize]);

// True when ReadHandOver found this process to be a copy.
bool RunsFromCopy();

// After the destination page, with the script loaded: when a disk after the first is not in the
// program's folder, starts the install record, names the copy in it, makes and starts the copy,
// and waits until it is ready for the user. True when the copy runs on: this process then ends
// without a word. False when no disk is to be asked for, or no copy could be made or started:
// this process goes on itself.
bool HandOverToCopy();

// At the copy's end: leaves the copy's file to the next start of Windows.
void LeaveCopyToRestart();
