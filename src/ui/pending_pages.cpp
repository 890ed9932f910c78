// Placeholder until the backdrop, the page host and the pages exist: no window is shown and the
// wizard ends as if the first page had been cancelled.
#include "controller/setup_state.h"
#include "ui/backdrop.h"
#include "ui/page_host.h"
#include "ui/pages.h"

int CreateBackdrop() { return 1; }

std::int16_t RunPage(const char*, WNDPROC, unsigned) { return kPageCancel; }

LRESULT CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(page, message, wParam, lParam);
}
LRESULT CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(page, message, wParam, lParam);
}
LRESULT CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(page, message, wParam, lParam);
}
