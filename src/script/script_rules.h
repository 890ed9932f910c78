// The setup script's reading rules that need no operating system: the program's directory,
// the default destination, directory keys and file lines.
#pragma once

#include <cstddef>

#include "base/file_table.h"

// What the loader takes for a [Main] key that the script leaves out, and for the Program Files
// directory when the registry does not name it.
inline constexpr char kDefaultPathDefault[] = "C:\\TIRVO";
inline constexpr char kProductNameDefault[] = "Tirvo";
inline constexpr char kDriverNameDefault[] = "JOY.VXD";
constexpr int kOemData1Default = 0;
constexpr int kOemData2Default = 4;
constexpr int kMinimumSpaceDefault = 1024;
inline constexpr char kProgramFilesFallback[] = "C:\\Program Files";

// Cuts a module path back to its directory: the last backslash at or after the second character
// becomes the end of the text ("A:\SETUP.EXE" gives "A:"). A path without one stays as it is.
void TrimToDirectory(char* path);

// Builds `directory`, a backslash and the script's name (SETUP.INF) into `out`. Returns false
// (and leaves `out` empty) when the result does not fit.
bool BuildScriptPath(const char* directory, char* out, std::size_t capacity);

// The default destination from [Main] DefaultPath: a value of more than two characters with a
// drive letter is moved to the drive of `windowsDir`; anything else is joined to the Program Files
// directory. The result is cut to `capacity`.
void BuildDefaultDestination(const char* defaultPath, const char* windowsDir,
                             const char* programFilesDir, char* out, std::size_t capacity);

// Index (0 to 9) of a directory key among `keyNames`, compared without regard to case; -1 when
// it matches none.
int MatchDirectoryKey(const char* key, const char* const (&keyNames)[kDirectoryKeyCount]);

// Fills `entry` from a file line: source name, target name, description, directory key. Values
// longer than their slots are cut. `entry` must be zero on entry.
void FillFileEntry(const char* line, const char* const (&keyNames)[kDirectoryKeyCount],
                   const char (&directoryNames)[kDirectoryKeyCount][kPathSize],
                   const char* windowsDir, FileEntry& entry);

// True when a name from the script that is joined to a folder (a [DirectoryName] value, a file's
// source or target name) stays inside that folder. Refused: a leading backslash, a drive or any
// other colon, a forward slash, and a component of dots and blanks alone ("." and "..", and
// forms such as "..." or ". ." that the file system may read as them). An empty name and nested
// names such as UTILS\CALIB stay inside.
bool StaysInsideFolder(const char* name);

// Counts the disks: one for every non-empty label, whatever its position.
int CountDisks(const char (&labels)[kMaxDisks][kDiskLabelSize]);

// Total of the file counts of the first `diskCount` disks, counting a count of 0 or less as no
// file. Returns -1 when the total is more than 32767 files.
int TotalFiles(const short* fileCounts, int diskCount);

// The key of a disk section's file line `number` (1 to 32767): the number in decimal without
// leading zeros.
void NumberedKey(int number, char (&key)[kNumberedKeySize]);
