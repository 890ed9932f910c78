// The registry section of the setup script: the lines between "[REGISTRY_BEGIN]" and
// "[REGISTRY_END]" of SETUP.INF, each of which sets one registry value.
#pragma once

#include "registry/registry_line.h"

// Reads SETUP.INF beside the program (g_setup.sourceDir) whole, as plain text, and keeps it for
// ApplyRegistrySection: the disk that holds it may have left the drive by then.
void ReadRegistrySection();

// Applies every line of the registry section of SETUP.INF, as ReadRegistrySection kept it or else
// read now, with g_setup.productName in place of "%s"; the kept text goes. A line that cannot be
// applied is passed over. Returns 1 when the script was opened and read whole, whatever became of
// its lines; 0 otherwise (no script, or one that cannot be read whole), and then nothing is
// written.
int ApplyRegistrySection();

// Applies one registry line: creates or opens its key (volatile) and sets its value.
// `deviceClassKey` is the device's key below "System\CurrentControlSet\Services\Class\" that
// "HKR" lines write below; when it is empty they write nothing.
void ApplyRegistryLine(const char* deviceClassKey, const char* line);

// The class key of the system's joystick device, below "System\CurrentControlSet\Services\Class\"
// (such as "MEDIA\0001"), into `out`; empty when the system has none.
void FindJoystickClassKey(char (&out)[kDeviceClassKeySize]);
