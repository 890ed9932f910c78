// UNINSTAL.EXE's entry point. Like SETUP.EXE it links no C runtime: the process starts here and
// ends with ExitProcess.
#include <windows.h>

#include "uninstall/uninstall.h"

extern "C" void __stdcall UninstallEntry()
{
    ExitProcess(static_cast<UINT>(RunUninstall()));
}
