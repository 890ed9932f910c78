// The file system's rename, as placing a file uses it: apart, so that a test program can put
// failures in its way by bringing its own definition (chosen when the program is linked).
#pragma once

// Gives the file `from` the name `to`, which must not exist. False when it cannot.
bool RenameFile(const char* from, const char* to);
