// The next start of Windows as a setup prepares it: the [rename] section of WININIT.INI, which
// Windows 95 and 98 carry out before anything holds the files it names (and then rename the file
// itself to WININIT.BAK). Files in use are replaced or deleted there.
#pragma once

// Adds "TARGET=REPLACEMENT" to the [rename] section of WININIT.INI in `windowsDir`, both as short
// (8.3) names, which are all that exist when that section is carried out. Every other line of the
// file stays. False when the names or the file cannot be had or written.
bool ReplaceAtRestart(const char* windowsDir, const char* target, const char* replacement);

// Adds "NUL=PATH": `path` is deleted at the next start.
bool DeleteAtRestart(const char* windowsDir, const char* path);

// Takes back what ReplaceAtRestart (`target` given) or DeleteAtRestart (`target` null) added for
// `path`: every such line goes, and the rest of the file stays. True when no such line is left.
bool CancelAtRestart(const char* windowsDir, const char* target, const char* path);
