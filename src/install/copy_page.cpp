#include "install/copy_page.h"

#include <lzexpand.h>

#include "base/bounded_text.h"
#include "base/cancel_notice.h"
#include "base/failed_names.h"
#include "base/setup_state.h"
#include "base/text_catalogue.h"
#include "files/file_system.h"
#include "install/copy_progress.h"
#include "install/file_placement.h"
#include "install/file_version.h"
#include "install/joystick_registration.h"
#include "install/record_writer.h"
#include "install/registry_section.h"
#include "install/shared_files.h"
#include "record/install_record.h"
#include "script/install_locations.h"
#include "script/script_names.h"
#include "ui/page_host.h"

namespace {

constexpr DWORD kRegistryPause = 500;
constexpr COLORREF kGaugeColour = RGB(0, 0, 255);
constexpr COLORREF kShadowColour = RGB(128, 128, 128);
constexpr INT kNotOpen = -1;

// What was written of a file: its length and the hash of its bytes, for the install record.
struct FileSum {
    DWORD length;
    std::uint32_t hash;
};

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

// The destination is a Windows folder, or lies inside one: its files are shared as theirs are.
bool g_destinationInWindows = false;

// Makes the subdirectories that are not there yet, each once the record names it.
void CreateSubdirectories()
{
    for (int k = 1; k <= 6; ++k) {
        const char* name = g_setup.directoryNames[k];
        char path[MAX_PATH];
        if (IsMadeSubdirectory(name) && JoinFolderAndName(g_setup.destDir, name, path) &&
            !FileExists(path) && RecordChange(kRecordFolder, path)) {
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
    ShowControlText(page, IDC_COPY_PERCENT, label);
    if (IsWindow(page)) {
        RECT gauge;
        ControlRectInPage(page, IDC_COPY_GAUGE_FRAME, &gauge);
        const PixelRect fill =
            GaugeFill(PixelRect{gauge.left, gauge.top, gauge.right, gauge.bottom}, percent);
        FillPixels(dc, fill, kGaugeColour);
    }
}

// Puts the complete new file in place, or keeps the file there when it is newer, once the record
// names the file and how it is held; a file in a Windows folder counts one use more.
Placement PlaceFile(const char* temporary, const char* target, const char* flags,
                    const FileSum& sum)
{
    char recorded[kFileFlagsSize];
    CopyText(recorded, flags);
    const bool existed = HasFileFlag(flags, kFileFlagExisted);
    const bool keep = existed && IsNewerThan(target, temporary);
    if (keep) {
        AppendText(recorded, kFileFlagKeptText);
    }
    if (!RecordFile(target, recorded, sum.length, sum.hash)) {
        return Placement::Failed;
    }
    const Placement placement =
        keep ? Placement::Kept : PutInPlace(temporary, target, g_setup.windowsDir);
    if (placement != Placement::Failed && HasFileFlag(flags, kFileFlagWindows)) {
        RaiseUseCount(target, existed && !HasFileFlag(flags, kFileFlagOwn));
    }
    return placement;
}

// Expands (or copies) the whole source into the target, and takes the length and sum of what it
// wrote on the way. True when exactly the source's length arrived: the expanded length that a
// compressed file's header records, or a plain file's size. A damaged compressed file, or a source
// cut short while it is read, gives another count.
bool ExpandWhole(INT source, INT target, FileSum& sum)
{
    const LONG expected = LZSeek(source, 0, 2);
    if (expected < 0 || LZSeek(source, 0, 0) != 0) {
        return false;
    }
    static char buffer[0x8000];
    sum = FileSum{0, kRecordCheckStart};
    for (;;) {
        const INT read = LZRead(source, buffer, sizeof buffer);
        if (read <= 0) {
            return read == 0 && sum.length == static_cast<DWORD>(expected);
        }
        if (_lwrite(target, buffer, static_cast<UINT>(read)) != static_cast<UINT>(read)) {
            return false;
        }
        sum.length += static_cast<DWORD>(read);
        sum.hash = RecordCheck(buffer, static_cast<std::size_t>(read), sum.hash);
    }
}

// The record's flags for a file about to be placed at `target`.
void FileFlags(const FileEntry& entry, const char* target, char (&flags)[kFileFlagsSize])
{
    std::size_t n = 0;
    const bool windows = entry.absoluteTarget != 0 || g_destinationInWindows;
    if (FileExists(target)) {
        flags[n++] = kFileFlagExisted;
    }
    // The product's folders and its driver hold the product's own files, whatever was there.
    if (!windows || EqualsIgnoreCase(entry.targetName, g_setup.driverName)) {
        flags[n++] = kFileFlagOwn;
    }
    if (windows) {
        flags[n++] = kFileFlagWindows;
    }
    flags[n] = '\0';
}

// True when `target` is the install record itself, which no file of the script may replace.
bool IsInstallRecord(const char* target)
{
    char record[MAX_PATH];
    return JoinFolderAndName(g_setup.destDir, kInstallRecordName, record) &&
           EqualsIgnoreCase(record, target);
}

// Opens the source for expansion, then lets one message of the page through. kNotOpen when it
// cannot be opened.
INT OpenSourceFile(HWND page, const char* sourcePath)
{
    OFSTRUCT info{};
    const INT source = LZOpenFileA(const_cast<char*>(sourcePath), &info, OF_READ);
    PumpOneMessage(page);
    return source;
}

// Writes the target (null: there is none to write) from `source` (kNotOpen: none), expanding it
// into a temporary file beside the target that takes the target's place only once it is whole,
// closes the files, then lets one message of the page through. Nothing is ever written under
// another name; on failure the target is as it was. A target that carries a higher version than
// the new file is kept. `flags` are the install record's flags of the file (kFileFlag...) as it
// was found: what is recorded, and whether its use count is kept.
Placement CopyToTarget(HWND page, INT source, const char* targetPath, const char* flags)
{
    Placement placement = Placement::Failed;
    char temporary[MAX_PATH];
    if (source >= 0 && targetPath != nullptr && CreateTemporaryBeside(targetPath, temporary)) {
        const INT target = _lopen(temporary, OF_WRITE | OF_SHARE_EXCLUSIVE);
        bool whole = false;
        FileSum sum{};
        if (target >= 0) {
            whole = ExpandWhole(source, target, sum);
            LZClose(target);
        }
        placement = whole ? PlaceFile(temporary, targetPath, flags, sum) : Placement::Failed;
        if (placement != Placement::Placed && placement != Placement::AtRestart) {
            DeleteFileA(temporary);
        }
    }
    if (source >= 0) {
        LZClose(source);
    }
    PumpOneMessage(page);
    return placement;
}

void CopyOneFile(HWND page, HDC dc, const FileEntry& entry, int index, int fileCount)
{
    // A numbered key that the script leaves out gives a record without names: nothing to copy,
    // but it counts for the percent, and lets messages through as every record does.
    if (entry.sourceName[0] == '\0' && entry.targetName[0] == '\0') {
        PumpOneMessage(page);
        ShowProgress(page, dc, index, fileCount);
        PumpOneMessage(page);
        return;
    }

    char status[kStatusTextSize];
    const char* copying = LoadText(IDS_COPYING);
    BuildStatusText(copying != nullptr ? copying : "", entry, status, sizeof status);
    ShowControlText(page, IDC_COPY_STATUS, status);

    // A record with only one of its names has nothing to copy or nowhere to put it; one whose
    // names would lead out of the medium's folder or the target's is refused.
    char source[MAX_PATH];
    const bool sourceFits =
        IsCopiedRecord(entry) && BuildSourcePath(g_setup.sourceDir, entry, source, sizeof source);
    INT opened = kNotOpen;
    if (sourceFits) {
        opened = OpenSourceFile(page, source);
    } else {
        PumpOneMessage(page);
    }

    ShowProgress(page, dc, index, fileCount);

    char target[MAX_PATH];
    bool targetFits = sourceFits && BuildTargetPath(g_setup.destDir, entry, target, sizeof target);
    char flags[kFileFlagsSize] = "";
    if (targetFits) {
        CollapseBackslashes(target);
        FileFlags(entry, target, flags);
        targetFits = !IsInstallRecord(target);
    }
    if (CopyToTarget(page, opened, targetFits ? target : nullptr, flags) == Placement::Failed) {
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

// The copy loop over every disk and file, then the registry steps.
void CopyAllFiles(HWND page)
{
    HDC dc = GetDC(page);
    const auto goingOn = [] { return !g_cancelled && !InstallRecordFailed(); };
    for (int d = 0; d < g_setup.diskCount && goingOn(); ++d) {
        UpdateWindow(page);
        DrawGaugeBox(page, dc, IDC_COPY_GAUGE_FRAME);
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
    // Nothing is changed that the install record cannot name.
    g_destinationInWindows = IsAtOrBelowFolder(g_setup.destDir, g_setup.windowsDir);
    if (StartInstallRecord()) {
        CreateSubdirectories();
    }
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

// Cancel ends the page at once, even in the middle of the copy: the copy loop notices it at the
// next file and stops there.
bool CopyCommand(HWND page, WPARAM command)
{
    if (command != IDC_COPY_CANCEL) {
        return false;
    }
    g_cancelled = true;
    EndPage(page, kPageCancel);
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

LRESULT CALLBACK CopyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PageProcedure(kCopyPage, page, message, wParam, lParam);
}
