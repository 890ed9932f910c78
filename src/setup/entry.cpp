// The program's entry point. The program links no C runtime, so there is no WinMain and no
// start-up code: the process starts here and ends with ExitProcess.
#include <windows.h>

#include "base/setup_state.h"
#include "setup/wizard.h"

extern "C" void __stdcall SetupEntry()
{
    g_setup = SetupState{};
    ExitProcess(static_cast<UINT>(RunSetup(GetModuleHandleA(nullptr))));
}
