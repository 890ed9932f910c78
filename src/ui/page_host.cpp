#include "ui/page_host.h"

#include "base/bounded_text.h"
#include "base/setup_state.h"
#include "ui/page_geometry.h"

namespace {

constexpr std::size_t kPageTextSize = 128;
// wsprintfA writes at most 1024 characters and its terminator, whatever the format.
constexpr std::size_t kFormatScratchSize = 1025;

void PlaceOnScreen(HWND page, std::int16_t screenWidth, std::int16_t screenHeight)
{
    char title[kPageTextSize];
    GetWindowTextA(page, title, sizeof title);
    char caption[kPageTextSize];
    CopyText(caption, g_setup.productName);
    AppendText(caption, " ");
    AppendText(caption, title);
    SetWindowTextA(page, caption);

    RECT frame;
    GetWindowRect(page, &frame);
    const PagePlacement placement =
        PlacePage(frame.left, frame.top, frame.right, frame.bottom, screenWidth, screenHeight);
    SetWindowPos(page, HWND_TOP, placement.x, placement.y, placement.width, placement.height,
                 SWP_SHOWWINDOW);
}

// The same, centred on the screen size that the platform reports now.
void InitPageWindowOnCurrentScreen(HWND page)
{
    PlaceOnScreen(page, static_cast<std::int16_t>(GetSystemMetrics(SM_CXSCREEN)),
                  static_cast<std::int16_t>(GetSystemMetrics(SM_CYSCREEN)));
}

} // namespace

void InitPageWindow(HWND page)
{
    PlaceOnScreen(page, g_setup.screenWidth, g_setup.screenHeight);
}

std::int16_t RunPage(const char* className, WNDPROC pageProcedure, unsigned templateId)
{
    // A page that runs again (the welcome page after Back) finds its class registered already;
    // the failed second registration is harmless.
    WNDCLASSA pageClass{};
    pageClass.style = CS_HREDRAW | CS_VREDRAW;
    pageClass.lpfnWndProc = pageProcedure;
    pageClass.cbWndExtra = DLGWINDOWEXTRA;
    pageClass.hInstance = g_setup.instance;
    pageClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    pageClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    pageClass.lpszClassName = className;
    RegisterClassA(&pageClass);

    // The template names the page's class, so the page procedure gets every message of the
    // dialog; there is no dialog procedure.
    HWND page = CreateDialogParamA(g_setup.instance, MAKEINTRESOURCEA(templateId & 0xFFFF),
                                   g_setup.mainWindow, nullptr, 0);
    if (page == nullptr) {
        // Without a page nothing would ever post the quit message: end the setup instead.
        return kPageCancel;
    }

    SendMessageA(page, WM_SETUP_START, 0, 0);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(page, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return g_setup.pageResult;
}

void FormatProductText(HWND page, int controlId)
{
    char format[kPageTextSize];
    GetDlgItemTextA(page, controlId, format, sizeof format);
    // The result is cut to the control's 128-byte text buffer; the scratch buffer only takes
    // whatever wsprintfA may write.
    char formatted[kFormatScratchSize];
    wsprintfA(formatted, format, g_setup.productName);
    char text[kPageTextSize];
    CopyText(text, formatted);
    SetDlgItemTextA(page, controlId, text);
}

void EndPage(HWND page, std::int16_t result)
{
    // A page may be closed from outside while one of its message boxes is up; the work that
    // asked the question must not overwrite the result when the box returns.
    if (!IsWindow(page)) {
        return;
    }
    g_setup.pageResult = result;
    DestroyWindow(page);
}

LRESULT PageProcedure(const PageRules& rules, HWND page, UINT message, WPARAM wParam,
                      LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (rules.centreOnCurrentScreen) {
            InitPageWindowOnCurrentScreen(page);
        } else {
            InitPageWindow(page);
        }
        return 0;
    case WM_SETUP_START:
        rules.start(page);
        return 0;
    case WM_COMMAND:
        if (rules.command(page, wParam)) {
            return 0;
        }
        break;
    case WM_CLOSE:
        rules.command(page, rules.closeMeans);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(page, message, wParam, lParam);
}
