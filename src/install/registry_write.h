// The registry calls that the setup's writers share: every key they create is volatile and opened
// with full access, and every value is set with the count its RegistryValue gives.
#pragma once

#include <windows.h>

#include "install/registry_value.h"

// Creates or opens `path` below `root` (volatile, full access). Null when that fails.
HKEY CreateVolatileKey(HKEY root, const char* path);

// Sets one value; whether it was set is not looked at.
void SetRegistryValue(HKEY key, const RegistryValue& value);
