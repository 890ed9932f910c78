// Reads SETUP.INF beside the program into the shared state and the file table.
#pragma once

// Reads the script in `folder`, or beside the program when none is given; needs g_setup.instance
// and g_setup.windowsDir. The folder becomes g_setup.sourceDir. Returns 1 on success; 0 when the
// folder is too long for the script's path, when the file counts add up to more than 32767 files,
// or when the file table cannot be allocated.
int LoadSetupScript(const char* folder = nullptr);

// Frees the file table.
void ReleaseFileTable();
