#include "uninstall/uninstall.h"

#include "base/bounded_text.h"
#include "base/failed_names.h"
#include "base/setup_state.h"
#include "base/text_catalogue.h"
#include "install/file_placement.h"
#include "install/file_system.h"
#include "install/leftovers.h"
#include "install/shared_files.h"
#include "record/install_record.h"
#include "record/record_index.h"
#include "registry/registry_line.h"
#include "script/script_names.h"
#include "script/script_rules.h"
#include "uninstall/cleanup.h"
#include "uninstall/recorded_changes.h"
#include "uninstall/registry_removal.h"

namespace {

constexpr std::size_t kMessageSize = 1024;

// The running program, its folder, and the record beside it: its whole lines, read once, and the
// table that finds each thing's lines in it.
char g_ownPath[MAX_PATH];
char g_folder[MAX_PATH];
char* g_text = nullptr;
std::size_t g_size = 0;
RecordIndex g_index;
// The record, open for the uninstall's own lines once the first is written.
HANDLE g_record = INVALID_HANDLE_VALUE;

// What the closing message tells.
FailedNames g_notRemoved;
FailedNames g_changed;
bool g_removedAtRestart = false;
char g_emptyAtRestart[MAX_PATH];
bool g_putBack = false;
bool g_removeSelf = false;

// The folders that the record's installs went to: the places of the product's own files.
constexpr int kMostProductFolders = 16;
char g_productFolders[kMostProductFolders][MAX_PATH];
int g_productFolderCount = 0;

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
    ForEachFirstLine(g_index, kind, action, backwards);
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
    return JoinFolderAndName(g_folder, kInstallRecordName, path);
}

// Reads UNINSTAL.DAT beside the program, all of its whole lines, and makes their table.
bool ReadRecord()
{
    char path[MAX_PATH];
    if (!RecordPath(path)) {
        return false;
    }
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::size_t size = 0;
    g_text = ReadWholeFile(file, size);
    CloseHandle(file);
    if (g_text == nullptr) {
        return false;
    }
    g_size = WholeRecordLength(g_text, size);
    const RecordIndexRoom room = RecordIndexNeeds(g_text, g_size);
    auto* lines = static_cast<std::uint32_t*>(Allocate(room.lines * sizeof(std::uint32_t) + 1));
    auto* slots = static_cast<RecordSlot*>(Allocate(room.slots * sizeof(RecordSlot)));
    if (lines == nullptr || slots == nullptr) {
        return false;
    }
    BuildRecordIndex(g_index, g_text, g_size, lines, slots, room.slots);
    return g_size > 0;
}

// Adds a line of the uninstall's own to the record, on the disk before the change it names. The
// record's torn end, if a stopped setup left one, goes first.
bool AddRecordLine(char kind, const char* path)
{
    char path2[MAX_PATH];
    if (g_record == INVALID_HANDLE_VALUE && RecordPath(path2)) {
        g_record = CreateFileA(path2, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (g_record != INVALID_HANDLE_VALUE &&
            (SetFilePointer(g_record, static_cast<LONG>(g_size), nullptr, FILE_BEGIN) != g_size ||
             !SetEndOfFile(g_record))) {
            CloseHandle(g_record);
            g_record = INVALID_HANDLE_VALUE;
        }
    }
    char text[4 * MAX_PATH];
    RecordLineBuilder line;
    BeginRecordLine(line, text, sizeof text, kind);
    AddRecordText(line, path);
    const std::size_t length = FinishRecordLine(line);
    DWORD written = 0;
    return g_record != INVALID_HANDLE_VALUE && length != 0 &&
           WriteFile(g_record, text, static_cast<DWORD>(length), &written, nullptr) &&
           written == length && FlushFileBuffers(g_record);
}

// The products the record names, each once, joined by commas; and the folders they went to.
void ProductNames(char (&out)[kMessageSize])
{
    out[0] = '\0';
    ForEachFirst(kRecordProduct, [&](const RecordLine& line) {
        char* folder = g_productFolders[g_productFolderCount];
        if (g_productFolderCount < kMostProductFolders &&
            DecodeRecordText(line.fields[0], folder, MAX_PATH)) {
            ++g_productFolderCount;
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
    if (windows && IsAtOrBelowFolder(path, g_setup.windowsDir)) {
        return true;
    }
    for (int i = 0; i < g_productFolderCount; ++i) {
        if (IsAtOrBelowFolder(path, g_productFolders[i])) {
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
    if (SamePath(path, g_ownPath)) {
        g_removeSelf = true; // once this program has ended
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
    if (DeleteAtRestart(g_setup.windowsDir, path)) {
        g_removedAtRestart = true;
        if (inProductFolder) {
            CopyText(g_emptyAtRestart, path);
            TrimToDirectory(g_emptyAtRestart);
        }
        return;
    }
    NoteFailed(g_notRemoved, path);
}

// True when the file's bytes are no longer those the setup placed (the record's length and sum).
bool ChangedSinceInstall(const char* path, const RecordedFile& recorded)
{
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    static char buffer[0x8000];
    std::uint32_t sum = kRecordCheckStart;
    bool changed = GetFileSize(file, nullptr) != recorded.length;
    for (DWORD read = 1; !changed && read != 0;) {
        changed = !ReadFile(file, buffer, sizeof buffer, &read, nullptr);
        sum = RecordCheck(buffer, read, sum);
    }
    CloseHandle(file);
    return changed || sum != recorded.sum;
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
        NoteFailed(g_notRemoved, path);
        return false;
    }
    return LowerUseCount(path);
}

void TakeBackFile(const RecordLine& line)
{
    char path[MAX_PATH];
    const RecordedFile file = MergeFileLines(g_index, line);
    if (!DecodeRecordText(line.fields[0], path, sizeof path) ||
        !IsInstallPlace(path, file.windows)) {
        return;
    }
    const bool noUseLeft = file.windows && file.counted && NoUseLeft(path, file);
    const bool changed =
        !file.windows && file.summed && !SamePath(path, g_ownPath) &&
        ChangedSinceInstall(path, file);
    if (changed) {
        NoteFailed(g_changed, path);
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
    if (!CancelAtRestart(g_setup.windowsDir, target, replacement) || !DeleteFileA(replacement)) {
        NoteFailed(g_notRemoved, replacement);
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
    if (!JoinFolderAndName(g_folder, "*", pattern)) {
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
        if (!JoinFolderAndName(g_folder, name, path) || EqualsExactly(name, ".") ||
            EqualsExactly(name, "..") || EqualsIgnoreCase(name, kInstallRecordName) ||
            SamePath(path, g_ownPath)) {
            continue;
        }
        // A folder left, or a file of the record's, holds what the message names already, if it
        // names anything.
        RecordLine line;
        const bool ours = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
                          FindRecordText(g_index, kRecordFile, path, false, line);
        more = !ours || (g_changed.count + g_notRemoved.count == 0 && !g_removedAtRestart);
    } while (!more && FindNextFileA(search, &found));
    FindClose(search);
    return more;
}

// The record goes last, once everything in it is taken back or waits for the next start, and with
// the program every uninstall entry that names it. Otherwise both stay for a second run, and the
// record tells it which use counts this run has lowered already.
void EndRecord()
{
    if (g_record != INVALID_HANDLE_VALUE) {
        CloseHandle(g_record);
        g_record = INVALID_HANDLE_VALUE;
    }
    if (g_notRemoved.count != 0) {
        g_removeSelf = false;
        return;
    }
    if (g_removeSelf) {
        RemoveEntriesNaming(g_ownPath);
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
    RemoveLeftovers(g_text, g_size);
    ForEachFirst(kRecordFile, TakeBackFile);
    ForEachFirst(kRecordBefore, [](const RecordLine& line) {
        g_putBack = TakeBackValue(g_index, line, g_notRemoved) || g_putBack;
    });
    RemoveCreatedKeys(g_index);
    RemoveFolders();
    EndRecord();
}

void ShowSummary(const char* products, const char* caption)
{
    char text[kMessageSize] = "";
    AppendFormatted(text, g_index.damaged != 0 ? IDS_RECORD_DAMAGED : IDS_REMOVED, products);
    if (g_putBack) {
        AppendText(text, Text(IDS_PUT_BACK));
    }
    if (g_changed.count > 0) {
        AppendFormatted(text, IDS_FILES_CHANGED, g_changed.names);
    }
    if (g_notRemoved.count > 0) {
        AppendFormatted(text, IDS_FILES_NOT_REMOVED, g_notRemoved.names);
        AppendText(text, Text(IDS_RUN_AGAIN));
    }
    const bool keepsMore = FolderKeepsMore();
    if (keepsMore) {
        AppendFormatted(text, IDS_FOLDER_STAYS, g_folder);
    }
    if (g_removedAtRestart) {
        AppendText(text, Text(IDS_REMOVED_AT_RESTART));
    }
    // A folder of the product's that a file in use keeps until the restart: the whole program's
    // folder when nothing else stays in it.
    if (g_emptyAtRestart[0] != '\0' && FileExists(g_emptyAtRestart)) {
        AppendFormatted(text, IDS_FOLDER_AFTER_RESTART,
                        !keepsMore && IsAtOrBelowFolder(g_emptyAtRestart, g_folder)
                            ? g_folder
                            : g_emptyAtRestart);
    }
    const bool warn = g_notRemoved.count + g_changed.count > 0 || g_index.damaged != 0;
    MessageBoxA(nullptr, text, caption, warn ? MB_ICONWARNING : MB_ICONINFORMATION);
}

// Without a record nothing is removed; only the uninstall entry that names this very program may
// go, when the user wants it.
void NoRecord()
{
    MessageBoxA(nullptr, Text(IDS_NO_RECORD), Text(IDS_UNINSTALL), MB_ICONWARNING);
    if (MessageBoxA(nullptr, Text(IDS_REMOVE_ENTRY), Text(IDS_UNINSTALL),
                    MB_YESNO | MB_ICONQUESTION) == IDYES) {
        RemoveEntriesNaming(g_ownPath);
    }
}

} // namespace

int RunUninstall(HINSTANCE instance)
{
    g_setup.instance = instance;
    GetModuleFileNameA(instance, g_ownPath, sizeof g_ownPath);
    if (FinishCleanup(g_ownPath)) {
        return 0;
    }
    if ((GetVersion() & 0x80000000u) == 0) {
        MessageBoxA(nullptr, Text(IDS_WINDOWS_ONLY), "Warning", MB_ICONWARNING);
        return 0;
    }
    GetWindowsDirectoryA(g_setup.windowsDir, sizeof g_setup.windowsDir);
    // A folder that is a program's current folder cannot be removed: this one's is none of ours.
    SetCurrentDirectoryA(g_setup.windowsDir);
    CopyText(g_folder, g_ownPath);
    TrimToDirectory(g_folder);

    char recordFolder[MAX_PATH];
    if (!ReadRecord() || !RecordFolder(g_text, g_size, recordFolder, sizeof recordFolder)) {
        NoRecord();
        return 0;
    }
    // A record copied into another folder is no record of that folder's files.
    if (!SamePath(recordFolder, g_folder)) {
        char text[kMessageSize] = "";
        AppendFormatted(text, IDS_OTHER_FOLDER, recordFolder);
        MessageBoxA(nullptr, text, Text(IDS_UNINSTALL), MB_ICONWARNING);
        return 0;
    }
    // From here on the folder is named as the record names its files, whatever form (8.3 or long)
    // the program was started by.
    CopyText(g_folder, recordFolder);

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
    if (g_removeSelf && !RemoveAfterExit(g_ownPath, g_folder)) {
        g_removedAtRestart = true;
    }
    ShowSummary(products, caption);
    return 0;
}
