// What the uninstall may delete. Of the registry keys that the setup made, it deletes only those
// left empty (no values, no subkeys) once the values that the setup wrote are gone, and even then
// never a top key of the system's.
#pragma once

#include <cstddef>

#include "registry/registry_line.h"

// True when an empty key at `keyPath` below `root` may be deleted. Below HKEY_LOCAL_MACHINE never
// one of its top keys ("SOFTWARE", "System", ...); below HKEY_CLASSES_ROOT any key, a key directly
// below the root included: it is the script's own class or extension.
bool MayDeleteEmptyKey(RegistryRoot root, const char* keyPath);

// The number of names in a key or folder path ("UTILS\CALIB" has two).
std::size_t PathDepth(const char* path);
