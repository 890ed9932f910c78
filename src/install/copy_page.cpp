#include "install/copy_page.h"

#include <lzexpand.h>

#include "base/bounded_text.h"
#include "base/setup_state.h"
#include "base/text_catalogue.h"
#include "base/cancel_notice.h"
#include "install/copy_progress.h"
#include "install/file_placement.h"
#include "install/joystick_registration.h"
#include "install/registry_section.h"
#include "ui/page_host.h"

namespace {

constexpr int kCancelButton = 1;
constexpr int kGaugeFrame = 1011;
constexpr int kPercentLabel = 1013;
constexpr int kStatusText = 1019;
constexpr unsigned kEmptyGaugeFill = WHITE_BRUSH;
constexpr DWORD kRegistryPause = 500;
constexpr COLORREF kGaugeColour = RGB(0, 0, 255);
constexpr COLORREF kShadowColour = RGB(128, 128, 128);

// Sets a control's text and paints it at once: no message loop runs during the copy. A text that
// the control shows already is left alone: every immediate repaint costs a trip to the display,
// and the percent label keeps its text for many small files in a row.
void ShowControlText(HWND page, int controlId, const char* text)
{
    HWND control = GetDlgItem(page, controlId);
    if (control == nullptr) {
        return;
    }
    char shown[kStatusTextSize];
    GetWindowTextA(control, shown, sizeof shown);
    if (EqualsExactly(shown, text)) {
        return;
    }
    SetWindowTextA(control, text);
    RedrawWindow(control, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
}

void FillPixels(HDC dc, const PixelRect& r, COLORREF colour)
{
    const RECT rect{r.left, r.top, r.right, r.bottom};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// Leaves the copy with Cancel: the page is gone and its quit message is queued. The notice is
// owned by the backdrop, and the quit message waits until the user has read it.
void NoticeAfterCancel()
{
    MSG quit;
    const bool quitQueued = PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    CancelNotice(g_setup.mainWindow);
    if (quitQueued) {
        PostQuitMessage(static_cast<int>(quit.wParam));
    }
}

// Tells the user which files could not be copied.
void ReportFailedFiles(HWND page)
{
    const char* format = LoadText(kTextFilesNotCopied);
    char text[512];
    wsprintfA(text, format != nullptr ? format : "%s", g_setup.failedFileNames);
    MessageBoxA(page, text, g_setup.caption, MB_ICONWARNING | MB_OK);
}

// A failed file is named by its source name, or by its target name when it has no source name.
void NoteFailedFile(const FileEntry& entry)
{
    ++g_setup.failedFileCount;
    AddFailedName(g_setup.failedFileNames, sizeof g_setup.failedFileNames,
                  entry.sourceName[0] != '\0' ? entry.sourceName : entry.targetName);
}

void CreateSubdirectories()
{
    for (int k = 1; k <= 6; ++k) {
        const char* name = g_setup.directoryNames[k];
        char path[kPathSize];
        if (IsMadeSubdirectory(name) && BuildSubdirectoryPath(g_setup.destDir, name, path, sizeof path)) {
            CreateDirectoryA(path, nullptr);
        }
    }
}

// Percent label and gauge for file `index` of the disk's `fileCount`.
void ShowProgress(HWND page, HDC dc, int index, int fileCount)
{
    const std::int16_t percent = PercentDone(index, fileCount);
    char label[kStatusTextSize];
    wsprintfA(label, "%d%%", percent);
    ShowControlText(page, kPercentLabel, label);
    if (IsWindow(page)) {
        RECT gauge;
        ControlRectInPage(page, kGaugeFrame, &gauge);
        const PixelRect fill =
            GaugeFill(PixelRect{gauge.left, gauge.top, gauge.right, gauge.bottom}, percent);
        FillPixels(dc, fill, kGaugeColour);
    }
}

// Expands (or copies) the whole source into the target. True when exactly the source's length
// arrived: the expanded length that a compressed file's header records, or a plain file's size.
// A damaged compressed file, or a source cut short while it is read, gives another count.
bool ExpandWhole(INT source, INT target)
{
    const LONG expected = LZSeek(source, 0, 2);
    if (expected < 0 || LZSeek(source, 0, 0) != 0) {
        return false;
    }
    return LZCopy(source, target) == expected;
}

void CopyOneFile(HWND page, HDC dc, const FileEntry& entry, int index, int fileCount)
{
    // A numbered key that the script leaves out gives a record without names: nothing to copy,
    // but it counts for the percent.
    if (entry.sourceName[0] == '\0' && entry.targetName[0] == '\0') {
        ShowProgress(page, dc, index, fileCount);
        return;
    }

    char status[kStatusTextSize];
    const char* copying = LoadText(kTextCopying);
    BuildStatusText(copying != nullptr ? copying : "", entry, status, sizeof status);
    ShowControlText(page, kStatusText, status);

    // A record with only one of its names has nothing to copy or nowhere to put it; one whose
    // names would lead out of the medium's folder or the target's is refused.
    char source[kPathSize];
    const bool sourceFits =
        IsCopiedRecord(entry) && BuildSourcePath(g_setup.sourceDir, entry, source, sizeof source);
    if (sourceFits) {
        OpenSourceFile(page, source);
    } else {
        PumpOneMessage(page);
    }

    ShowProgress(page, dc, index, fileCount);

    char target[kPathSize];
    const bool targetFits =
        sourceFits && BuildTargetPath(g_setup.destDir, entry, target, sizeof target);
    if (CopyToTarget(page, targetFits ? target : nullptr) == Placement::Failed) {
        NoteFailedFile(entry);
    }
}

} // namespace

void PumpOneMessage(HWND window)
{
    MSG message;
    if (!PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
        return;
    }
    // The quit request of a page that has just ended may come back here (some systems return it
    // whatever window the call names); it is put back for the page loop, which must see it.
    if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
    }
    // A queued command 1 (Enter on the default button) is dropped: only a real click on the
    // Cancel button, which sends its command, cancels the copy.
    if (message.message == WM_COMMAND && message.wParam == kCancelButton) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

void DelayWithMessages(DWORD milliseconds)
{
    const DWORD end = GetTickCount() + milliseconds;
    bool quitSeen = false;
    int quitCode = 0;
    while (GetTickCount() < end) {
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) && message.message == WM_QUIT) {
            quitSeen = true;
            quitCode = static_cast<int>(message.wParam);
        }
    }
    if (quitSeen) {
        PostQuitMessage(quitCode);
    }
}

void ControlRectInPage(HWND window, int controlId, RECT* rect)
{
    HWND control = GetDlgItem(window, controlId);
    if (control == nullptr) {
        // No such control (or the page is gone): nothing to draw, rather than a rectangle of
        // whatever the caller's memory held.
        SetRectEmpty(rect);
        return;
    }
    GetClientRect(control, rect);
    POINT controlOrigin{0, 0};
    POINT windowOrigin{0, 0};
    ClientToScreen(control, &controlOrigin);
    ClientToScreen(window, &windowOrigin);
    OffsetRect(rect, controlOrigin.x - windowOrigin.x, controlOrigin.y - windowOrigin.y);
}

void DrawGaugeBox(HWND window, HDC dc, int controlId, unsigned fillCode)
{
    RECT r;
    ControlRectInPage(window, controlId, &r);

    std::uint32_t colour = 0;
    const bool ownBrush = GaugeFillColour(fillCode, colour);
    HGDIOBJ fill = ownBrush ? CreateSolidBrush(colour) : GetStockObject(fillCode & 0xFFFF);

    HGDIOBJ oldBrush = SelectObject(dc, fill);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(WHITE_PEN));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);

    // A grey outline one pixel up and left of the white one: together a sunken frame.
    OffsetRect(&r, -1, -1);
    HPEN grey = CreatePen(PS_SOLID, 1, kShadowColour);
    SelectObject(dc, grey);
    SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);

    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(grey);
    if (ownBrush) {
        DeleteObject(fill);
    }
}

bool OpenSourceFile(HWND page, const char* sourcePath)
{
    OFSTRUCT info{};
    g_setup.lzSource = LZOpenFileA(const_cast<char*>(sourcePath), &info, OF_READ);
    PumpOneMessage(page);
    return g_setup.lzSource >= 0;
}

Placement CopyToTarget(HWND page, const char* targetPath)
{
    Placement placement = Placement::Failed;
    g_setup.lzTarget = kLzNotOpen;
    char temporary[MAX_PATH];
    if (g_setup.lzSource >= 0 && targetPath != nullptr &&
        CreateTemporaryBeside(targetPath, temporary)) {
        g_setup.lzTarget = _lopen(temporary, OF_WRITE | OF_SHARE_EXCLUSIVE);
        bool whole = false;
        if (g_setup.lzTarget >= 0) {
            whole = ExpandWhole(g_setup.lzSource, g_setup.lzTarget);
            LZClose(g_setup.lzTarget);
        }
        if (whole) {
            placement = PutInPlace(temporary, targetPath, g_setup.windowsDir);
        } else {
            DeleteFileA(temporary);
        }
    }
    if (g_setup.lzSource >= 0) {
        LZClose(g_setup.lzSource);
    }
    g_setup.lzSource = kLzNotOpen;
    g_setup.lzTarget = kLzNotOpen;
    PumpOneMessage(page);
    return placement;
}

void CopyAllFiles(HWND page)
{
    HDC dc = GetDC(page);
    for (int d = 0; d < g_setup.diskCount && g_setup.pageResult != kPageCancel; ++d) {
        UpdateWindow(page);
        DrawGaugeBox(page, dc, kGaugeFrame, kEmptyGaugeFill);
        const int fileCount = g_setup.fileCounts[d];
        for (int k = 0; k < fileCount && g_setup.pageResult != kPageCancel; ++k) {
            CopyOneFile(page, dc, g_setup.diskFiles[d][k], k, fileCount);
        }
    }

    ShowControlText(page, kStatusText, "Adding Registry...");
    DelayWithMessages(kRegistryPause);
    ApplyRegistrySection();
    ShowControlText(page, kStatusText, "Updating Registry...");
    DelayWithMessages(kRegistryPause);
    RegisterJoystickDriver();
    ReleaseDC(page, dc);
}

namespace {

// The page's whole work, inside the host's start message.
void StartCopy(HWND page)
{
    UpdateWindow(page);
    CreateSubdirectories();
    g_setup.pageResult = kPageNext;
    g_setup.failedFileCount = 0;
    g_setup.failedFileNames[0] = '\0';
    CopyAllFiles(page);
    if (g_setup.pageResult != kPageCancel && g_setup.failedFileCount > 0) {
        ReportFailedFiles(page);
        EndPage(page, kPageCancel);
    }
    if (g_setup.pageResult == kPageCancel) {
        NoticeAfterCancel();
    } else {
        EndPage(page, kPageNext);
    }
}

// Cancel ends the page at once, even in the middle of the copy: the copy routine below notices
// it at the next file and stops there.
bool CopyCommand(HWND page, WPARAM command)
{
    if (command != kCancelButton) {
        return false;
    }
    EndPage(page, kPageCancel);
    return true;
}

constexpr PageRules kCopyPage{StartCopy, CopyCommand, kCancelButton, false};

} // namespace

LRESULT CALLBACK CopyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PageProcedure(kCopyPage, page, message, wParam, lParam);
}
