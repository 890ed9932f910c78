// The question for the next disk of a set: a dialog in the pages' style that asks for the disk by
// its label, with a path field for the folder its files are read from, Browse..., OK and Cancel.
#pragma once

#include <windows.h>

#include "base/file_table.h"

// Asks for the disk labelled `label`, owned by `owner`, the path field showing `folder`. OK asks
// `found` whether the disk is in the folder typed (without a backslash at its end): while it is
// not, the dialog says so and stays; once it is, that folder becomes `folder` and the result is
// true. Cancel (or closing the dialog) gives false and leaves `folder` as it was.
bool AskForDisk(HWND owner, const char* label, char (&folder)[kPathSize],
                bool (*found)(const char* folder));
