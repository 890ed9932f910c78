// Taking back the registry values and keys that the install record names.
#pragma once

#include <windows.h>

#include <cstddef>

#include "base/failed_names.h"
#include "record/record_index.h"

// Takes back the value that the record's first "before" line `line` names. Any value gets its
// data before the product's first install back, or goes when it had none, if it still holds what
// the setup last wrote; one that someone changed since stays as it is. The first joystick's three
// values in a driver's settings key go back as one, whatever became of the other two, while its
// OEM callout still names the driver as the setup wrote it; otherwise none is touched. An uninstall
// entry is left to RemoveUninstallEntry. True when data was put back. A value that cannot be
// put back is noted in `notRemoved`.
bool TakeBackValue(const RecordIndex& index, const RecordLine& line, FailedNames& notRemoved);

// Deletes the keys that the record names as made by the setup, each when it is empty, and never a
// top key: in one pass from the record's end, since a setup names a key before its subkeys.
void RemoveCreatedKeys(const RecordIndex& index);

// True when the key has no values and no subkeys. Windows 95 and 98 delete a key with everything
// below it, so this decides alone whether anything else is lost.
bool KeyIsEmpty(HKEY root, const char* path);
