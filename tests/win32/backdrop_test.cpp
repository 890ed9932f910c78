// The backdrop as it is created and painted in this process, on the 640 x 480 test display.
#include "base/bounded_text.h"
#include "base/setup_state.h"
#include "support/automation.h"
#include "support/page_state.h"
#include "ui/backdrop.h"
#include "ui/backdrop_bands.h"
#include "ui/page_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Backdrop : public ::testing::Test {
protected:
    void SetUp() override
    {
        PrepareQuorraPadState();
    }
    void TearDown() override
    {
        if (g_setup.mainWindow != nullptr && IsWindow(g_setup.mainWindow)) {
            DestroyWindow(g_setup.mainWindow);
        }
    }

    // The backdrop's client area as the display shows it, read row by row. The thin border
    // takes one pixel on every side, so the client area is 638 x 478 on a 640 x 480 screen and
    // the gradient, computed for the whole screen height, is seen up to client row 477.
    struct Screen {
        int width = 0;
        int height = 0;
        std::vector<COLORREF> pixels;
        COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    };

    static Screen Capture()
    {
        Screen screen;
        RECT client;
        GetClientRect(g_setup.mainWindow, &client);
        screen.width = client.right;
        screen.height = client.bottom;
        HDC windowDc = GetDC(g_setup.mainWindow);
        HDC memoryDc = CreateCompatibleDC(windowDc);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = screen.width;
        info.bmiHeader.biHeight = -screen.height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memoryDc, bitmap);
        BitBlt(memoryDc, 0, 0, screen.width, screen.height, windowDc, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* raw = static_cast<const DWORD*>(bits);
        screen.pixels.resize(static_cast<size_t>(screen.width) * screen.height);
        for (size_t i = 0; i < screen.pixels.size(); ++i) {
            const DWORD p = raw[i];
            screen.pixels[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
        }
        SelectObject(memoryDc, old);
        DeleteObject(bitmap);
        DeleteDC(memoryDc);
        ReleaseDC(g_setup.mainWindow, windowDc);
        return screen;
    }

    // Repaints the whole backdrop now, as the page loops would.
    static void Repaint()
    {
        InvalidateRect(g_setup.mainWindow, nullptr, FALSE);
        UpdateWindow(g_setup.mainWindow);
    }

    // Pixels of one colour in a rectangle of the capture.
    static int Count(const Screen& screen, RECT area, COLORREF colour, int* rightmost = nullptr)
    {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right && x < screen.width; ++x) {
                if (screen.at(x, y) == colour) {
                    ++count;
                    if (rightmost != nullptr && x > *rightmost) {
                        *rightmost = x;
                    }
                }
            }
        }
        return count;
    }
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

TEST_F(Backdrop, IsAFullScreenTopmostPopupWithAThinBorder)
{
    ASSERT_EQ(CreateBackdrop(), 1);
    HWND window = g_setup.mainWindow;
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(ClassNameOf(window), "SetupMain");
    EXPECT_EQ(WindowText(window), "Setup");

    const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    EXPECT_EQ(style & (WS_POPUP | WS_VISIBLE | WS_BORDER), WS_POPUP | WS_VISIBLE | WS_BORDER);
    EXPECT_EQ(style & WS_DLGFRAME, 0u) << "no caption";
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
    EXPECT_NE(exStyle & WS_EX_TOPMOST, 0u);

    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left, 0);
    EXPECT_EQ(frame.top, 0);
    EXPECT_EQ(frame.right, 640);
    EXPECT_EQ(frame.bottom, 480);
}

TEST_F(Backdrop, ClassHasNoBackgroundNoIconAndTheArrowCursor)
{
    ASSERT_EQ(CreateBackdrop(), 1);
    WNDCLASSA windowClass{};
    ASSERT_TRUE(GetClassInfoA(g_setup.instance, "SetupMain", &windowClass));
    EXPECT_EQ(windowClass.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(windowClass.lpfnWndProc, BackdropProc);
    EXPECT_EQ(windowClass.hbrBackground, nullptr);
    EXPECT_EQ(windowClass.hIcon, nullptr);
    EXPECT_EQ(windowClass.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(windowClass.cbClsExtra, 0);
    EXPECT_EQ(windowClass.cbWndExtra, 0);
}

TEST_F(Backdrop, TitleFontIsBoldTimesNewRoman32PixelsHigh)
{
    ASSERT_EQ(CreateBackdrop(), 1);
    ASSERT_NE(g_setup.titleFont, nullptr);
    LOGFONTA font{};
    ASSERT_EQ(GetObjectA(g_setup.titleFont, sizeof font, &font), static_cast<int>(sizeof font));
    EXPECT_EQ(font.lfHeight, -32);
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_EQ(font.lfItalic, 0);
    EXPECT_EQ(font.lfUnderline, 0);
    EXPECT_EQ(font.lfStrikeOut, 0);
    EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
    EXPECT_EQ(font.lfPitchAndFamily, 0x22);
    EXPECT_STREQ(font.lfFaceName, "Times New Roman");
}

TEST_F(Backdrop, EveryRowHasItsBandColour)
{
    ASSERT_EQ(CreateBackdrop(), 1);
    Repaint();
    const Screen screen = Capture();
    const float h = BandHeight(g_setup.screenHeight);
    int band = 0;
    for (int y = 0; y < screen.height; ++y) {
        while (BandEdge(band + 1, h) <= y) {
            ++band;
        }
        for (int x : {0, 320, screen.width - 1}) {
            ASSERT_EQ(screen.at(x, y), RGB(0, 0, 255 - band)) << "x " << x << " y " << y;
        }
    }
    // For 480 rows: band 0 is row 0 alone, band 1 rows 1 and 2, band 253 ends at row 477 (the
    // last client row) and band 254 (rows 478 and 479) lies behind the border.
    EXPECT_EQ(screen.height, 478);
    EXPECT_EQ(screen.at(600, 0), RGB(0, 0, 255));
    EXPECT_EQ(screen.at(600, 1), RGB(0, 0, 254));
    EXPECT_EQ(screen.at(600, 2), RGB(0, 0, 254));
    EXPECT_EQ(screen.at(600, 3), RGB(0, 0, 253));
    EXPECT_EQ(screen.at(600, 477), RGB(0, 0, 2));
}

TEST_F(Backdrop, ProductNameIsWhiteOverABlackShadowToItsLowerRight)
{
    ASSERT_EQ(CreateBackdrop(), 1);
    Repaint();
    const Screen screen = Capture();
    int whiteRight = -1;
    int blackRight = -1;
    const int white = Count(screen, {0, 0, 640, 80}, kWhite, &whiteRight);
    const int black = Count(screen, {0, 0, 640, 80}, kBlack, &blackRight);
    EXPECT_GT(white, 100);
    EXPECT_GT(black, 100);
    EXPECT_EQ(Count(screen, {0, 0, 25, 80}, kWhite), 0) << "the title starts at x 25";
    EXPECT_EQ(Count(screen, {0, 0, 30, 80}, kBlack), 0) << "the shadow starts at x 30";
    EXPECT_EQ(Count(screen, {0, 60, 638, 478}, kWhite) + Count(screen, {0, 60, 638, 478}, kBlack),
              0)
        << "both end at y 60";
    EXPECT_EQ(blackRight - whiteRight, 5) << "the shadow lies 5 pixels to the right";
}

TEST_F(Backdrop, ALongNameIsCutAt500WhileItsShadowRunsOnTo600)
{
    CopyText(g_setup.productName, "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"); // 31 characters
    ASSERT_EQ(CreateBackdrop(), 1);
    Repaint();
    const Screen screen = Capture();
    EXPECT_GT(Count(screen, {400, 0, 500, 80}, kWhite), 0);
    EXPECT_EQ(Count(screen, {500, 0, 638, 80}, kWhite), 0);
    EXPECT_GT(Count(screen, {500, 0, 600, 80}, kBlack), 0);
    EXPECT_EQ(Count(screen, {600, 0, 638, 80}, kBlack), 0);
}

TEST_F(Backdrop, AnEmptyNameDrawsOnlyTheGradient)
{
    g_setup.productName[0] = '\0';
    ASSERT_EQ(CreateBackdrop(), 1);
    Repaint();
    const Screen screen = Capture();
    EXPECT_EQ(Count(screen, {0, 0, 640, 80}, kWhite), 0);
    EXPECT_EQ(Count(screen, {0, 0, 640, 80}, kBlack), 0);
}

TEST_F(Backdrop, StartMessageChangesNothing)
{
    ASSERT_EQ(CreateBackdrop(), 1);
    Repaint();
    const Screen before = Capture();
    EXPECT_EQ(SendMessageA(g_setup.mainWindow, WM_SETUP_START, 0, 0), 0);
    // The message number is compared on its low 16 bits.
    EXPECT_EQ(BackdropProc(g_setup.mainWindow, 0x10000 + WM_SETUP_START, 0, 0), 0);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
    EXPECT_TRUE(IsWindowVisible(g_setup.mainWindow));
    const Screen after = Capture();
    EXPECT_EQ(before.pixels, after.pixels);
}

TEST_F(Backdrop, DestroyingDeletesTheFontAndPostsNoQuit)
{
    ASSERT_EQ(CreateBackdrop(), 1);
    HFONT font = g_setup.titleFont;
    ASSERT_NE(GetObjectType(font), 0u);
    ASSERT_TRUE(DestroyWindow(g_setup.mainWindow));
    EXPECT_EQ(GetObjectType(font), 0u);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(Backdrop, CreatingASecondTimeReusesTheClass)
{
    ASSERT_EQ(CreateBackdrop(), 1);
    DestroyWindow(g_setup.mainWindow);
    ASSERT_EQ(CreateBackdrop(), 1);
    EXPECT_TRUE(IsWindowVisible(g_setup.mainWindow));
}

} // namespace
