// The product's entry in Windows' list of installed programs, as the setup writes it and finds it
// again (registry/uninstall_entry.h names its key, command and values).
#pragma once

#include <windows.h>

// Writes the entry of g_setup's product: its name and the command that starts UNINSTAL.EXE in the
// destination, each value noted in the install record before it is written.
void WriteUninstallEntry();

// The folder of the uninstall program that the product's entry starts, when an earlier install of
// it into another folder than g_setup's destination wrote the entry.
bool EarlierInstallFolder(char (&folder)[MAX_PATH]);
