// UNINSTAL.EXE: takes back what SETUP.EXE changed, as the install record UNINSTAL.DAT beside it
// names it: the files it placed, the use counts it raised, the registry values it wrote (given
// back their earlier data), the keys and folders it made, and the uninstall entries.
#pragma once

// The whole uninstall, from the Windows-version check to the closing message. Returns the
// process's exit code, always 0.
int RunUninstall();
