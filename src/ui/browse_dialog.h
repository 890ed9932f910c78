// The directory picker of the destination page: the platform's old-style open-file dialog with a
// template of our own that hides the file controls and adds a path field.
#pragma once

#include <windows.h>

// Runs the dialog owned by `owner`. On OK the path field's text becomes g_setup.destDir; on
// Cancel (or any failure) nothing changes.
void BrowseForDirectory(HWND owner);
