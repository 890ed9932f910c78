// The directory picker of the destination page: the platform's old-style open-file dialog with a
// template of our own that hides the file controls and adds a path field.
#pragma once

#include <windows.h>

#include "base/setup_state.h"

// Runs the dialog owned by `owner`, its path field showing `path` (the destination unless another
// is given). On OK the path field's text becomes `path`; on Cancel (or any failure) nothing
// changes.
void BrowseForDirectory(HWND owner, char (&path)[kPathSize] = g_setup.destDir);
