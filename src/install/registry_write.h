// The registry calls that the setup's writers share: every key they create is volatile and opened
// with full access, and every value is set with the count its RegistryValue gives. Each change is
// entered in the install record first: the keys that did not exist, and each value's data before
// it is written; after it, the data as the registry gives it back.
#pragma once

#include <windows.h>

#include "registry/registry_line.h"
#include "registry/registry_value.h"

// The registry root of a parsed line: HKEY_CLASSES_ROOT, or HKEY_LOCAL_MACHINE ("HKR", "HKLM").
inline HKEY RootKeyOf(const RegistryLine& line)
{
    return line.root == RegistryRoot::ClassesRoot ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
}

// Creates or opens `path` below `root` (volatile, full access), once every key along it that does
// not exist yet is in the install record. Null when that fails.
HKEY CreateRecordedKey(HKEY root, const char* path);

// Sets one value of the key at `path` below `root` (open as `key`), once its data before is in
// the install record; then records the data it holds. Whether it was set is not looked at.
void SetRecordedValue(HKEY root, const char* path, HKEY key, const RegistryValue& value);
