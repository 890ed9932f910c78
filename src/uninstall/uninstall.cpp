#include "uninstall/uninstall.h"

#include "base/bounded_text.h"
#include "base/failed_names.h"
#include "base/text_catalogue.h"
#include "files/file_system.h"
#include "files/leftovers.h"
#include "files/restart_script.h"
#include "files/use_counts.h"
#include "record/install_record.h"
#include "record/record_index.h"
#include "registry/registry_line.h"
#include "script/script_names.h"
#include "script/script_rules.h"
#include "uninstall/cleanup.h"
#include "uninstall/recorded_changes.h"
#include "uninstall/registry_removal.h"
#include "uninstall/uninstall_entries.h"

namespace {

constexpr std::size_t kMessageSize = 1024;

// UNINSTAL.EXE's own state: the running program, its folder, the record beside it (its whole
// lines, read once, and the table that finds each thing's lines in it), and what the closing
// message tells.
constexpr int kMostProductFolders = 16;
struct UninstallState {
    char ownPath[MAX_PATH]; // in the record's form once the record is read
    char folder[MAX_PATH];
    char windowsDir[MAX_PATH];
    char* text;
    std::size_t size;
    RecordIndex index;
    HANDLE record; // open for the uninstall's own lines once the first is written
    // The folders that the record's installs went to: the places of the product's own files.
    char productFolders[kMostProductFolders][MAX_PATH];
    int productFolderCount;

    FailedNames notRemoved;
    FailedNames changed;
    bool removedAtRestart;
    char emptyAtRestart[MAX_PATH]; // a folder of the product's that a file in use keeps
    bool putBack;
    bool removeSelf;
};
UninstallState g_run;

const char* Text(unsigned id)
{
    const char* text = LoadText(id);
    return text != nullptr ? text : "";
}

// A text of the string table with its "%s" replaced by `argument`, appended to `out`.
void AppendFormatted(char (&out)[kMessageSize], unsigned id, const char* argument)
{
    char formatted[kMessageSize];
    if (ReplaceProductName(Text(id), argument, formatted, sizeof formatted)) {
        AppendText(out, formatted);
    }
}

template <typename Action>
void ForEachFirst(char kind, Action action, bool backwards = false)
{
    ForEachFirstLine(g_run.index, kind, action, backwards);
}

void* Allocate(std::size_t bytes)
{
    return HeapAlloc(GetProcessHeap(), 0, bytes);
}

// True when the comma-separated `list` holds `name`, ASCII case ignored.
bool ContainsName(const char* list, const char* name)
{
    const std::size_t length = TextLength(name);
    for (const char* item = list; *item != '\0';) {
        std::size_t i = 0;
        while (i < length && AsciiUpper(item[i]) == AsciiUpper(name[i])) {
            ++i;
        }
        if (i == length && (item[i] == '\0' || item[i] == ',')) {
            return true;
        }
        while (*item != '\0' && *item++ != ',') {
        }
        while (*item == ' ') {
            ++item;
        }
    }
    return false;
}

// ---- the record

bool RecordPath(char (&path)[MAX_PATH])
{
    return JoinFolderAndName(g_run.folder, kInstallRecordName, path);
}

// Reads UNINSTAL.DAT beside the program, all of its whole lines, and makes their table.
bool ReadRecord()
{
    char path[MAX_PATH];
    if (!RecordPath(path)) {
        return false;
    }
    std::size_t size = 0;
    g_run.text = ReadNamedFile(path, size);
    if (g_run.text == nullptr) {
        return false;
    }
    g_run.size = WholeRecordLength(g_run.text, size);
    const RecordIndexRoom room = RecordIndexNeeds(g_run.text, g_run.size);
    auto* lines = static_cast<std::uint32_t*>(Allocate(room.lines * sizeof(std::uint32_t) + 1));
    auto* slots = static_cast<RecordSlot*>(Allocate(room.slots * sizeof(RecordSlot)));
    if (lines == nullptr || slots == nullptr) {
        return false;
    }
    BuildRecordIndex(g_run.index, g_run.text, g_run.size, lines, slots, room.slots);
    return g_run.size > 0;
}

// Adds a line of the uninstall's own to the record, on the disk before the change it names. The
// record's torn end, if a stopped setup left one, goes first.
bool AddRecordLine(char kind, const char* path)
{
    char recordPath[MAX_PATH];
    if (g_run.record == nullptr && RecordPath(recordPath)) {
        const HANDLE file = CreateFileA(recordPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE &&
            SetFilePointer(file, static_cast<LONG>(g_run.size), nullptr, FILE_BEGIN) ==
                g_run.size &&
            SetEndOfFile(file)) {
            g_run.record = file;
        } else if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
    }
    char text[4 * MAX_PATH];
    RecordLineBuilder line;
    BeginRecordLine(line, text, sizeof text, kind);
    AddRecordText(line, path);
    const std::size_t length = FinishRecordLine(line);
    DWORD written = 0;
    return g_run.record != nullptr && length != 0 &&
           WriteFile(g_run.record, text, static_cast<DWORD>(length), &written, nullptr) &&
           written == length && FlushFileBuffers(g_run.record);
}

// The products the record names, each once, joined by commas; and the folders they went to.
void ProductNames(char (&out)[kMessageSize])
{
    out[0] = '\0';
    ForEachFirst(kRecordProduct, [&](const RecordLine& line) {
        char* folder = g_run.productFolders[g_run.productFolderCount];
        if (g_run.productFolderCount < kMostProductFolders &&
            DecodeRecordText(line.fields[0], folder, MAX_PATH)) {
            ++g_run.productFolderCount;
        }
        char name[kProductNameSize];
        if (!DecodeRecordText(line.fields[1], name, sizeof name) ||
            ContainsName(out, name)) {
            return;
        }
        if (out[0] != '\0') {
            AppendText(out, ", ");
        }
        AppendText(out, name);
    });
}

// True when a file of the record lies where the record's installs put files: below a folder an
// install went to, or in a Windows folder. Anything else is no file of this product's.
bool IsInstallPlace(const char* path, bool windows)
{
    const bool fromDrive = path[0] != '\0' && path[1] == ':' && path[2] == '\\';
    if (!fromDrive || !StaysInsideFolder(path + 3)) {
        return false;
    }
    if (windows && IsAtOrBelowFolder(path, g_run.windowsDir)) {
        return true;
    }
    for (int i = 0; i < g_run.productFolderCount; ++i) {
        if (IsAtOrBelowFolder(path, g_run.productFolders[i])) {
            return true;
        }
    }
    return false;
}

// ---- files

// The folders of a deleted file of the product's that it leaves empty go, up to the product's
// folder, whoever made them.
void RemoveEmptyFoldersAbove(const char* path)
{
    char folder[MAX_PATH];
    CopyText(folder, path);
    for (;;) {
        TrimToDirectory(folder);
        if (folder[0] == '\0' || !IsInstallPlace(folder, false) || !RemoveDirectoryA(folder)) {
            return;
        }
    }
}

// Deletes one file of the product's; one in use goes at the next start of Windows.
void RemoveFile(const char* path, bool inProductFolder)
{
    if (!FileExists(path)) {
        return;
    }
    if (EqualsIgnoreCase(path, g_run.ownPath)) {
        g_run.removeSelf = true; // once this program has ended
        return;
    }
    // Gone is what counts: some systems (Wine among them) report a deletion that the file system
    // then refuses.
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path) && !FileExists(path)) {
        if (inProductFolder) {
            RemoveEmptyFoldersAbove(path);
        }
        return;
    }
    if (DeleteAtRestart(g_run.windowsDir, path)) {
        g_run.removedAtRestart = true;
        if (inProductFolder) {
            CopyText(g_run.emptyAtRestart, path);
            TrimToDirectory(g_run.emptyAtRestart);
        }
        return;
    }
    NoteFailed(g_run.notRemoved, path);
}

// True when the file's bytes are no longer those the setup placed (the record's length and sum).
bool ChangedSinceInstall(const char* path, const RecordedFile& recorded)
{
    // A file that cannot be read (gone, or held by a program) tells nothing: it is taken as placed.
    std::size_t size = 0;
    char* bytes = ReadNamedFile(path, size);
    if (bytes == nullptr) {
        return false;
    }
    const bool changed = size != recorded.length || RecordCheck(bytes, size) != recorded.sum;
    HeapFree(GetProcessHeap(), 0, bytes);
    return changed;
}

// True when no use of a counted file is left. Its count goes down once, the record naming that
// first: a second run after a stop never lowers it again, and then trusts only a count that is
// gone.
bool NoUseLeft(const char* path, const RecordedFile& file)
{
    if (file.lowered) {
        return !HasUseCount(path);
    }
    if (!AddRecordLine(kRecordLowered, path)) {
        NoteFailed(g_run.notRemoved, path);
        return false;
    }
    return LowerUseCount(path);
}

void TakeBackFile(const RecordLine& line)
{
    char path[MAX_PATH];
    const RecordedFile file = MergeFileLines(g_run.index, line);
    if (!DecodeRecordText(line.fields[0], path, sizeof path) ||
        !IsInstallPlace(path, file.windows)) {
        return;
    }
    const bool noUseLeft = file.windows && file.counted && NoUseLeft(path, file);
    const bool changed =
        !file.windows && file.summed && !EqualsIgnoreCase(path, g_run.ownPath) &&
        ChangedSinceInstall(path, file);
    if (changed) {
        NoteFailed(g_run.changed, path);
    }
    if (UninstallDeletesFile(file, noUseLeft, changed)) {
        RemoveFile(path, !file.windows);
    }
}

// A replacement that waits for the next start is called off, and its new file deleted.
void CancelReplacement(const RecordLine& line)
{
    char target[MAX_PATH];
    char replacement[MAX_PATH];
    if (!DecodeRecordText(line.fields[0], target, sizeof target) ||
        !DecodeRecordText(line.fields[1], replacement, sizeof replacement) ||
        !FileExists(replacement)) {
        return;
    }
    if (!CancelAtRestart(g_run.windowsDir, target, replacement) || !DeleteFileA(replacement)) {
        NoteFailed(g_run.notRemoved, replacement);
    }
}

// ---- folders and the record

// The folders the setup made, each when it is empty: in one pass from the record's end, since a
// setup names a folder before the folders inside it.
void RemoveFolders()
{
    ForEachFirst(
        kRecordFolder,
        [](const RecordLine& line) {
            char path[MAX_PATH];
            if (DecodeRecordText(line.fields[0], path, sizeof path) &&
                IsInstallPlace(path, false)) {
                RemoveDirectoryA(path);
            }
        },
        true);
}

// True when something stays in the program's folder that the message does not name already: all
// but the program, which goes once it has ended, the record, and files that go at the restart or
// that are named as changed or not removed.
bool FolderKeepsMore()
{
    char pattern[MAX_PATH];
    if (!JoinFolderAndName(g_run.folder, "*", pattern)) {
        return false;
    }
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool more = false;
    do {
        char path[MAX_PATH];
        const char* name = found.cFileName;
        if (!JoinFolderAndName(g_run.folder, name, path) || EqualsExactly(name, ".") ||
            EqualsExactly(name, "..") || EqualsIgnoreCase(name, kInstallRecordName) ||
            EqualsIgnoreCase(path, g_run.ownPath)) {
            continue;
        }
        // A folder left, or a file of the record's, holds what the message names already, if it
        // names anything.
        RecordLine line;
        const bool ours = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
                          FindRecordText(g_run.index, kRecordFile, path, false, line);
        more = !ours || (g_run.changed.count + g_run.notRemoved.count == 0 && !g_run.removedAtRestart);
    } while (!more && FindNextFileA(search, &found));
    FindClose(search);
    return more;
}

// The record goes last, once everything in it is taken back or waits for the next start, and with
// the program every uninstall entry that names it. Otherwise both stay for a second run, and the
// record tells it which use counts this run has lowered already.
void EndRecord()
{
    if (g_run.record != nullptr) {
        CloseHandle(g_run.record);
        g_run.record = nullptr;
    }
    if (g_run.notRemoved.count != 0) {
        g_run.removeSelf = false;
        return;
    }
    if (g_run.removeSelf) {
        RemoveEntriesNaming(g_run.ownPath);
    }
    char path[MAX_PATH];
    if (RecordPath(path)) {
        DeleteFileA(path);
    }
}

// ---- the whole uninstall

void TakeBackEverything()
{
    ForEachFirst(kRecordPending, CancelReplacement);
    RemoveLeftovers(g_run.text, g_run.size);
    ForEachFirst(kRecordFile, TakeBackFile);
    ForEachFirst(kRecordBefore, [](const RecordLine& line) {
        g_run.putBack = TakeBackValue(g_run.index, line, g_run.notRemoved) || g_run.putBack;
    });
    RemoveCreatedKeys(g_run.index);
    RemoveFolders();
    EndRecord();
}

void ShowSummary(const char* products, const char* caption)
{
    char text[kMessageSize] = "";
    AppendFormatted(text, g_run.index.damaged != 0 ? IDS_RECORD_DAMAGED : IDS_REMOVED, products);
    if (g_run.putBack) {
        AppendText(text, Text(IDS_PUT_BACK));
    }
    if (g_run.changed.count > 0) {
        AppendFormatted(text, IDS_FILES_CHANGED, g_run.changed.names);
    }
    if (g_run.notRemoved.count > 0) {
        AppendFormatted(text, IDS_FILES_NOT_REMOVED, g_run.notRemoved.names);
        AppendText(text, Text(IDS_RUN_AGAIN));
    }
    const bool keepsMore = FolderKeepsMore();
    if (keepsMore) {
        AppendFormatted(text, IDS_FOLDER_STAYS, g_run.folder);
    }
    if (g_run.removedAtRestart) {
        AppendText(text, Text(IDS_REMOVED_AT_RESTART));
    }
    // A folder of the product's that a file in use keeps until the restart: the whole program's
    // folder when nothing else stays in it.
    if (g_run.emptyAtRestart[0] != '\0' && FileExists(g_run.emptyAtRestart)) {
        AppendFormatted(text, IDS_FOLDER_AFTER_RESTART,
                        !keepsMore && IsAtOrBelowFolder(g_run.emptyAtRestart, g_run.folder)
                            ? g_run.folder
                            : g_run.emptyAtRestart);
    }
    const bool warn = g_run.notRemoved.count + g_run.changed.count > 0 || g_run.index.damaged != 0;
    MessageBoxA(nullptr, text, caption, warn ? MB_ICONWARNING : MB_ICONINFORMATION);
}

// Without a record nothing is removed; only the uninstall entry that names this very program may
// go, when the user wants it.
void NoRecord()
{
    MessageBoxA(nullptr, Text(IDS_NO_RECORD), Text(IDS_UNINSTALL), MB_ICONWARNING);
    if (MessageBoxA(nullptr, Text(IDS_REMOVE_ENTRY), Text(IDS_UNINSTALL),
                    MB_YESNO | MB_ICONQUESTION) == IDYES) {
        RemoveEntriesNaming(g_run.ownPath);
    }
}

} // namespace

int RunUninstall()
{
    GetModuleFileNameA(nullptr, g_run.ownPath, sizeof g_run.ownPath);
    if (FinishCleanup(g_run.ownPath)) {
        return 0;
    }
    if ((GetVersion() & 0x80000000u) == 0) {
        MessageBoxA(nullptr, Text(IDS_WINDOWS_ONLY), "Warning", MB_ICONWARNING);
        return 0;
    }
    GetWindowsDirectoryA(g_run.windowsDir, sizeof g_run.windowsDir);
    // A folder that is a program's current folder cannot be removed: this one's is none of ours.
    SetCurrentDirectoryA(g_run.windowsDir);
    CopyText(g_run.folder, g_run.ownPath);
    TrimToDirectory(g_run.folder);

    char recordFolder[MAX_PATH];
    if (!ReadRecord() || !RecordFolder(g_run.text, g_run.size, recordFolder, sizeof recordFolder)) {
        NoRecord();
        return 0;
    }
    // A record copied into another folder is no record of that folder's files.
    if (!SamePath(recordFolder, g_run.folder)) {
        char text[kMessageSize] = "";
        AppendFormatted(text, IDS_OTHER_FOLDER, recordFolder);
        MessageBoxA(nullptr, text, Text(IDS_UNINSTALL), MB_ICONWARNING);
        return 0;
    }
    // From here on the folder and the program are named as the record names its files, whatever
    // form (8.3 or long) the program was started by: a file is this program when its text says so,
    // and no file costs a comparison that reads folders.
    char name[MAX_PATH];
    CopyText(name, g_run.ownPath + TextLength(g_run.folder) + 1);
    CopyText(g_run.folder, recordFolder);
    JoinFolderAndName(g_run.folder, name, g_run.ownPath);

    char products[kMessageSize];
    ProductNames(products);
    char caption[kMessageSize];
    CopyText(caption, products);
    AppendText(caption, " ");
    AppendText(caption, Text(IDS_UNINSTALL));
    char question[kMessageSize] = "";
    AppendFormatted(question, IDS_REMOVE_QUESTION, products);
    if (MessageBoxA(nullptr, question, caption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return 0;
    }
    TakeBackEverything();
    // The program and its folder go once it has ended; the summary waits for that to be arranged.
    if (g_run.removeSelf && !RemoveAfterExit(g_run.ownPath, g_run.folder)) {
        g_run.removedAtRestart = true;
    }
    ShowSummary(products, caption);
    return 0;
}
