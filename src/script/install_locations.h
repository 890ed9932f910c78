// Where the script's files and folders go, and paths compared as the setup and the uninstall
// compare them: rules without the operating system, shared by SETUP.EXE, UNINSTAL.EXE and the
// script checker.
#pragma once

#include <cstddef>

#include "base/file_table.h"

// True when the copy page copies this record: it has a source and a target name, and neither they
// nor a relative target directory lead out of their folders. The uninstall removes just these.
bool IsCopiedRecord(const FileEntry& entry);

// True when `name` is a short (8.3) file name: at most 8 characters, a dot and at most 3, none of
// them a blank, a control character or one that FAT refuses in short names (ASCII case ignored).
// A file system without long names holds only these; any other name of a file has an alias.
bool IsShortFileName(const char* name);

// True when the copy page makes the subdirectory of this [DirectoryName] value (SubDir1 to
// SubDir6): it is not empty and stays below the destination.
bool IsMadeSubdirectory(const char* name);

// Source path: source directory, a backslash and the source name. False (and an empty path)
// when it does not fit in `capacity` bytes.
bool BuildSourcePath(const char* sourceDir, const FileEntry& entry, char* out,
                     std::size_t capacity);

// Target path: for a relative entry the destination, a backslash and the target directory, then
// a backslash and the target name; for an absolute entry the target directory, a backslash and
// the target name. An empty target directory gives two backslashes in a row. False (and an
// empty path) when it does not fit.
bool BuildTargetPath(const char* destDir, const FileEntry& entry, char* out, std::size_t capacity);

// Directory path of a subdirectory of the destination; false when it does not fit.
bool BuildSubdirectoryPath(const char* destDir, const char* name, char* out, std::size_t capacity);

// Folds every run of backslashes in a path into one (an empty target directory leaves two in a
// row), for the places that compare paths or hand them to programs that read them strictly.
void CollapseBackslashes(char* path);

// Makes a folder path comparable: single backslashes, and none at the end but after a drive.
void NormaliseFolder(char* path);

// True when `path` is `folder` or lies below it (ASCII case ignored; a backslash at the end of
// either names the same folder). Works alike for registry key paths.
bool PathIsAtOrBelow(const char* path, const char* folder);
