// Puts new files in place without ever leaving a damaged target behind: the new content is
// written beside the target under a temporary name and checked first, and only then takes the
// target's place. A target that is in use is replaced at the next start of Windows instead,
// through the [rename] section of WININIT.INI. Every temporary name is entered in the install
// record before the file exists, so that what a stopped setup leaves can always be found again.
#pragma once

#include <windows.h>

// Makes a new, empty file of a unique temporary name in the folder of `target`, its full name in
// `temporary`, once the install record names it. False when none can be made (no such folder,
// write-protected or full disk, or a record that cannot be written).
bool CreateTemporaryBeside(const char* target, char (&temporary)[MAX_PATH]);

enum class Placement {
    Placed,    // `target` now holds the new file
    AtRestart, // `target` is in use: the new file waits under its temporary name, and the next
               // start of Windows puts it in place
    Kept,      // `target` holds a newer file, which stays; the new one is not used
    Failed,    // `target` is as it was and the temporary file is gone
};

// Gives the complete file `temporary`, made by CreateTemporaryBeside for `target`, the target's
// name. An existing target is moved aside first and removed only once the new file stands in its
// place; a read-only target or a folder of that name is left alone. A target that cannot be moved
// although it is not read-only is in use: its replacement is left to the next start of Windows
// (`windowsDir` holds WININIT.INI), unless its name is long (not 8.3), which that start would
// turn into its alias: such a file fails and keeps its old version. A deletion of `target` that
// waits for the next start is cancelled once the new file is in place.
Placement PutInPlace(const char* temporary, const char* target, const char* windowsDir);
