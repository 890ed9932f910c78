// The warning that every page gives when the installation is abandoned.
#pragma once

#include <windows.h>

// Tells the user, in a box owned by `owner`, that the installation is not completed.
void CancelNotice(HWND owner);
