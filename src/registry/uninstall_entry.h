// The product's entry in Windows' list of installed programs (Add/Remove Programs): its key below
// HKEY_LOCAL_MACHINE, the command that starts the uninstall program, and the values written.
#pragma once

#include <cstddef>

#include "registry/registry_value.h"

inline constexpr char kUninstallKeyPrefix[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr std::size_t kUninstallTextSize = 128;

// Each builder writes its text into `out` and returns false (with `out` empty) when it does not
// fit; a cut path would name a wrong key or program.
bool BuildUninstallKeyPath(const char* productName, char (&out)[kUninstallTextSize]);
// The command: the destination, a backslash and the uninstall program's name, in double quotes
// when the path holds a blank. Unquoted, such a command is cut at each blank in turn to find its
// program: with C:\Program Files\... that is C:\Program.exe first, whoever put it there.
bool BuildUninstallCommand(const char* destDir, char (&out)[kUninstallTextSize]);
// The program that an uninstall command starts: the path inside the quotes that open it, or the
// whole command when it opens with none (a path without blanks, or a command of an earlier
// setup). Cuts `command` after the path, in place; the result points into it.
char* ProgramOfUninstallCommand(char* command);

// The two values of the uninstall entry, in the order they are written: the name shown, and the
// command that removes the product.
constexpr int kUninstallValueCount = 2;
constexpr const char* kUninstallValueNames[kUninstallValueCount] = {"DisplayName",
                                                                    "UninstallString"};
constexpr const char* kUninstallCommandValue = kUninstallValueNames[1];
void MakeUninstallValues(const char* productName, const char* uninstallCommand,
                         RegistryValue (&values)[kUninstallValueCount]);
