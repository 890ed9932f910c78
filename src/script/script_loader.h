// Reads SETUP.INF beside the program into the shared state and the file table.
#pragma once

// Reads the script; needs g_setup.instance and g_setup.windowsDir. Returns 1 on success; 0 when
// the program's directory is too long for the script's path, when the file counts add up to
// more than 32767 files, or when the file table cannot be allocated.
int LoadSetupScript();

// Frees the file table.
void ReleaseFileTable();
