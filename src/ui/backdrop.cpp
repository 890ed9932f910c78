#include "ui/backdrop.h"

#include "base/bounded_text.h"
#include "base/setup_state.h"
#include "ui/backdrop_bands.h"
#include "ui/page_host.h"

namespace {

constexpr char kBackdropClass[] = "SetupMain";
constexpr char kBackdropTitle[] = "Setup";

// The product name in large bold letters, white over a black shadow.
constexpr int kTitleFontHeight = -32;
constexpr int kTitleFontWeight = FW_BOLD;
constexpr BYTE kTitlePitchAndFamily = VARIABLE_PITCH | FF_SWISS;
constexpr RECT kShadowRect = {30, 20, 600, 60};
constexpr RECT kTitleRect = {25, 15, 500, 60};
constexpr UINT kTitleFormat = DT_SINGLELINE | DT_VCENTER;

void CreateTitleFont()
{
    g_setup.titleFont = CreateFontA(kTitleFontHeight, 0, 0, 0, kTitleFontWeight, FALSE, FALSE,
                                    FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, kTitlePitchAndFamily, "Times New Roman");
}

void PaintGradient(HDC dc)
{
    const float bandHeight = BandHeight(g_setup.screenHeight);
    for (int band = 0; band < kBandCount; ++band) {
        const RECT rect = {0, BandEdge(band, bandHeight), g_setup.screenWidth,
                           BandEdge(band + 1, bandHeight)};
        HBRUSH brush = CreateSolidBrush(RGB(0, 0, BandBlue(band)));
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    }
}

void DrawTitle(HDC dc, RECT rect, COLORREF colour)
{
    SetTextColor(dc, colour);
    DrawTextA(dc, g_setup.productName, -1, &rect, kTitleFormat);
}

void PaintBackdrop(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    PaintGradient(dc);
    HGDIOBJ previousFont = SelectObject(dc, g_setup.titleFont);
    SetBkMode(dc, TRANSPARENT);
    // The black copy first: it shows as a shadow below and to the right of the white one.
    DrawTitle(dc, kShadowRect, RGB(0, 0, 0));
    DrawTitle(dc, kTitleRect, RGB(255, 255, 255));
    SelectObject(dc, previousFont);
    EndPaint(window, &paint);
}

} // namespace

int CreateBackdrop()
{
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = BackdropProc;
    windowClass.hInstance = g_setup.instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    // No background brush: the gradient covers every pixel, so nothing is erased first.
    windowClass.lpszClassName = kBackdropClass;
    RegisterClassA(&windowClass);

    g_setup.mainWindow = CreateWindowExA(0, kBackdropClass, kBackdropTitle,
                                         WS_POPUP | WS_VISIBLE | WS_BORDER, CW_USEDEFAULT,
                                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                         nullptr, g_setup.instance, nullptr);
    if (g_setup.mainWindow == nullptr) {
        return 0;
    }

    // Paint once before the first page and deliver the start message, which the backdrop ignores.
    PostMessageA(g_setup.mainWindow, WM_SETUP_START, 0, 0);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 1;
}

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        SetWindowPos(window, HWND_TOPMOST, 0, 0, g_setup.screenWidth, g_setup.screenHeight,
                     SWP_SHOWWINDOW);
        CreateTitleFont();
        return 0;
    case WM_PAINT:
        PaintBackdrop(window);
        return 0;
    case WM_DESTROY:
        DeleteObject(g_setup.titleFont);
        g_setup.titleFont = nullptr;
        return 0;
    case WM_SETUP_START:
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
