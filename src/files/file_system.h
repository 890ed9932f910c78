// The file system as both programs use it: files read whole, and folders and files named as the
// file system knows them (the same folder may be typed in other letters, with a backslash at its
// end, or by its short (8.3) name).
#pragma once

#include <windows.h>

#include <cstddef>

// True when a file or folder of that name exists.
inline bool FileExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The whole content of an open file, in a block of the process heap (HeapFree it), its length in
// `size`; null when it cannot be read whole.
char* ReadWholeFile(HANDLE file, std::size_t& size);

// The same for the file at `path`, opened for reading only; null when it cannot be opened or read.
char* ReadNamedFile(const char* path, std::size_t& size);

// `folder`, a backslash and `name`, with single backslashes. False when it does not fit.
bool JoinFolderAndName(const char* folder, const char* name, char (&out)[MAX_PATH]);

// True when both name the same folder or file: alike as typed (case, doubled or final backslashes
// aside), or alike in their short forms.
bool SamePath(const char* a, const char* b);

// True when `path` is `folder` or lies below it, as typed or in their short forms.
bool IsAtOrBelowFolder(const char* path, const char* folder);
