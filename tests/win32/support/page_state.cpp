#include "support/page_state.h"

#include "base/bounded_text.h"
#include "base/setup_state.h"

void PrepareQuorraPadState(const char* destination)
{
    g_setup = SetupState{};
    g_setup.instance = GetModuleHandleA(nullptr);
    g_setup.screenWidth = static_cast<std::int16_t>(GetSystemMetrics(SM_CXSCREEN));
    g_setup.screenHeight = static_cast<std::int16_t>(GetSystemMetrics(SM_CYSCREEN));
    CopyText(g_setup.productName, "Quorra Pad");
    CopyText(g_setup.caption, "Quorra Pad Setup Program");
    CopyText(g_setup.destDir, destination);
    g_setup.minimumSpaceKb = 1024;
}
