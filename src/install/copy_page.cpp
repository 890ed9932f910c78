#include "install/copy_page.h"

#include "base/bounded_text.h"
#include "base/cancel_notice.h"
#include "base/failed_names.h"
#include "base/setup_state.h"
#include "base/text_catalogue.h"
#include "files/file_system.h"
#include "install/copy_progress.h"
#include "install/file_copy.h"
#include "install/joystick_registration.h"
#include "install/record_writer.h"
#include "install/registry_section.h"
#include "install/setup_copy.h"
#include "install/source_disks.h"
#include "script/script_names.h"
#include "ui/page_host.h"

namespace {

constexpr DWORD kRegistryPause = 500;
constexpr COLORREF kGaugeColour = RGB(0, 0, 255);
constexpr COLORREF kShadowColour = RGB(128, 128, 128);

// Set by the Cancel button: the copy stops before the next file.
bool g_cancelled = false;
// Files that could not be copied.
FailedNames g_failed;

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
    const char* format = LoadText(IDS_FILES_NOT_COPIED);
    char text[512];
    wsprintfA(text, format != nullptr ? format : "%s", g_failed.names);
    MessageBoxA(page, text, g_setup.caption, MB_ICONWARNING | MB_OK);
}

// A failed file is named by its source name, or by its target name when it has no source name.
void NoteFailedFile(const FileEntry& entry)
{
    NoteFailed(g_failed, entry.sourceName[0] != '\0' ? entry.sourceName : entry.targetName);
}

// Percent label and gauge for file `index` of the disk's `fileCount`.
void ShowProgress(HWND page, HDC dc, int index, int fileCount)
{
    const std::int16_t percent = PercentDone(index, fileCount);
    char label[kStatusTextSize];
    wsprintfA(label, "%d%%", percent);
    ShowControlText(page, IDC_COPY_PERCENT, label);
    if (IsWindow(page)) {
        RECT gauge;
        ControlRectInPage(page, IDC_COPY_GAUGE_FRAME, &gauge);
        const PixelRect fill =
            GaugeFill(PixelRect{gauge.left, gauge.top, gauge.right, gauge.bottom}, percent);
        FillPixels(dc, fill, kGaugeColour);
    }
}

// One file: its status text, its source opened, the percent and gauge for it, and its target
// written, with one message of the page let through after the source is opened and one after
// the target is written.
void CopyOneFile(HWND page, HDC dc, const FileEntry& entry, int index, int fileCount)
{
    // A record without names has nothing to copy, but it counts for the percent and lets
    // messages through as every record does.
    if (!IsUnnamedRecord(entry)) {
        char status[kStatusTextSize];
        const char* copying = LoadText(IDS_COPYING);
        BuildStatusText(copying != nullptr ? copying : "", entry, status, sizeof status);
        ShowControlText(page, IDC_COPY_STATUS, status);
    }
    LookForSource(page, entry);
    const FileCopy copy = OpenFileCopy(entry, SourceFolder());
    PumpOneMessage(page);
    ShowProgress(page, dc, index, fileCount);
    const CopyOutcome outcome = FinishFileCopy(copy);
    PumpOneMessage(page);
    if (outcome == CopyOutcome::Failed) {
        NoteFailedFile(entry);
    }
}

// Draws the sunken gauge box over a control, filled white.
void DrawGaugeBox(HWND window, HDC dc, int controlId)
{
    RECT r;
    ControlRectInPage(window, controlId, &r);

    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
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
}

// Cancel ends the page at once, even in the middle of the copy: the copy loop notices it at the
// next file and stops there.
void CancelCopy(HWND page)
{
    g_cancelled = true;
    EndPage(page, kPageCancel);
}

// The copy loop over every disk and file, then the registry steps. Each disk after the first is
// asked for when it is not there; Cancel at the question is the page's Cancel.
void CopyAllFiles(HWND page)
{
    HDC dc = GetDC(page);
    const auto goingOn = [] { return !g_cancelled && !InstallRecordFailed(); };
    StartSourceDisks();
    for (int d = 0; d < g_setup.diskCount && goingOn(); ++d) {
        UpdateWindow(page);
        DrawGaugeBox(page, dc, IDC_COPY_GAUGE_FRAME);
        if (d > 0 && !ReachDisk(page, d)) {
            CancelCopy(page);
            break;
        }
        const int fileCount = g_setup.fileCounts[d];
        for (int k = 0; k < fileCount && goingOn(); ++k) {
            CopyOneFile(page, dc, g_setup.diskFiles[d][k], k, fileCount);
        }
    }
    FlushInstallRecord();

    ShowControlText(page, IDC_COPY_STATUS, "Adding Registry...");
    DelayWithMessages(kRegistryPause);
    ApplyRegistrySection();
    ShowControlText(page, IDC_COPY_STATUS, "Updating Registry...");
    DelayWithMessages(kRegistryPause);
    RegisterJoystickDriver();
    ReleaseDC(page, dc);
}

// The page's whole work, inside the host's start message.
void StartCopy(HWND page)
{
    UpdateWindow(page);
    g_setup.pageResult = kPageNext;
    g_cancelled = false;
    g_failed = FailedNames{};
    // Nothing is changed that the install record cannot name. A copy of the program that took
    // over from the one on disk 1 goes on with the record that one began.
    if (RunsFromCopy() ? ContinueInstallRecord() : StartInstallRecord()) {
        StartFileCopies();
    }
    // The script's registry section is read while disk 1 is still in the drive.
    ReadRegistrySection();
    CopyAllFiles(page);
    EndInstallRecord();
    if (InstallRecordFailed()) {
        NoteFailed(g_failed, kInstallRecordName);
    }
    if (!g_cancelled && g_failed.count > 0) {
        ReportFailedFiles(page);
        g_cancelled = true;
        EndPage(page, kPageCancel);
    }
    if (g_cancelled) {
        NoticeAfterCancel();
    } else {
        EndPage(page, kPageNext);
    }
}

bool CopyCommand(HWND page, WPARAM command)
{
    if (command != IDC_COPY_CANCEL) {
        return false;
    }
    CancelCopy(page);
    return true;
}

constexpr PageRules kCopyPage{StartCopy, CopyCommand, IDC_COPY_CANCEL, false};

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
    // A queued command of the Cancel button (Enter on the default button) is dropped: only a real
    // click on it, which sends its command, cancels the copy.
    if (message.message == WM_COMMAND && message.wParam == IDC_COPY_CANCEL) {
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
    for (DWORD now = GetTickCount(); now < end; now = GetTickCount()) {
        // One message at a time, the clock read between them: a paint request stays in the queue
        // however often it is taken.
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quitSeen = true;
                quitCode = static_cast<int>(message.wParam);
            }
            continue;
        }
        // The queue is empty: sleep until a message comes or the pause is over, rather than
        // asking again and again and keeping the processor busy for the whole pause.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
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

LRESULT CALLBACK CopyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PageProcedure(kCopyPage, page, message, wParam, lParam);
}
