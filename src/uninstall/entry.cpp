// UNINSTAL.EXE's entry point. Like SETUP.EXE it links no C runtime: the process starts here and
// ends with ExitProcess.
#include <windows.h>

#include "base/setup_state.h"
#include "uninstall/uninstall.h"

extern "C" void __stdcall UninstallEntry()
{
    g_setup = SetupState{};
    ExitProcess(static_cast<UINT>(RunUninstall(GetModuleHandleA(nullptr))));
}
