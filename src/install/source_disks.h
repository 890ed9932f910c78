// The disks of a set and the folder that each is read from. Disk 1's files are read from the folder
// SETUP.EXE started from. A later disk's are read from the folder that the disk before it was read
// from when the disk is there (a CD, or a whole set copied into one folder); otherwise the user is
// asked for it by its label, and its files are read from the folder given.
//
// A disk is in a folder when one of its own files is: a source that no record of an earlier disk
// names too (a file on two disks tells them apart from neither). A disk without such a file is
// there when its first file is.
#pragma once

#include <windows.h>

#include "base/file_table.h"

// True when disk `disk` (from 0) of the file table is in `folder`.
bool DiskIsIn(int disk, const char* folder);

// True when a disk after the first is not in g_setup.sourceDir: the copy will ask for it.
bool SetAsksForDisks();

// Starts with disk 1, read from g_setup.sourceDir.
void StartSourceDisks();

// Before the first file of disk `disk` (from 1): asks for the disk, owned by `owner`, when it is not
// in the folder read so far. False when the user cancels the question.
bool ReachDisk(HWND owner, int disk);

// Before a file of the current disk: on a disk that the user was asked for (and may have taken out
// too early), a missing source is asked for once more; Cancel leaves it missing.
void LookForSource(HWND owner, const FileEntry& entry);

// The folder that the current disk's files are read from.
const char* SourceFolder();
