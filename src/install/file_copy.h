// One file of the script on its way from the medium to its target, in two steps: its source is
// opened, then expanded beside the target and put in the target's place once the install record
// names it. Whoever copies (the copy page) lets the user be heard between the steps; nothing here
// shows anything.
#pragma once

#include <windows.h>

#include "base/file_table.h"

// What became of one file.
enum class CopyOutcome {
    Placed,        // the target holds the new file
    AtRestart,     // the target is in use: the new file takes its place at the next start
    Kept,          // the target holds a newer file, which stays
    Failed,        // the target is as it was (no source, a damaged one, or a target that cannot
                   // be written or is refused)
    NothingToCopy, // a record without names: a numbered key that the script leaves out
};

// A file between its two steps.
struct FileCopy {
    const FileEntry* entry;
    INT source; // the open source; negative when there is none
};

// Makes the destination's subdirectories that are not there yet, and notes where the destination
// lies, before the first file. Needs the install record started.
void StartFileCopies();

// True for a record without names, which has nothing to copy.
bool IsUnnamedRecord(const FileEntry& entry);

// The first step: opens the source of `entry` in `sourceFolder`, when the record is one to copy.
FileCopy OpenFileCopy(const FileEntry& entry, const char* sourceFolder);

// The second step: writes the target from the open source into a temporary file beside it, which
// takes the target's place only once it is whole (a newer file there is kept), and closes the
// source. Nothing is ever written under another name; on failure the target is as it was.
CopyOutcome FinishFileCopy(const FileCopy& copy);
