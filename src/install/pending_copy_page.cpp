// Placeholder until the copy page exists: it behaves as a window without any work.
#include "install/copy_page.h"

LRESULT CALLBACK CopyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(page, message, wParam, lParam);
}
