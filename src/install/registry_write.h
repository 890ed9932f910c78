// The registry calls that the setup's writers share: every key they create is volatile and opened
// with full access, and every value is set with the count its RegistryValue gives.
#pragma once

#include <windows.h>

#include "install/registry_line.h"
#include "install/registry_value.h"

// The registry root of a parsed line: HKEY_CLASSES_ROOT, or HKEY_LOCAL_MACHINE ("HKR", "HKLM").
inline HKEY RootKeyOf(const RegistryLine& line)
{
    return line.root == RegistryRoot::ClassesRoot ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
}

// Creates or opens `path` below `root` (volatile, full access). Null when that fails.
HKEY CreateVolatileKey(HKEY root, const char* path);

// Sets one value; whether it was set is not looked at.
void SetRegistryValue(HKEY key, const RegistryValue& value);
