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
#include "registry/registry_line.h"
#include "script/script_names.h"
#include "script/script_rules.h"
#include "uninstall/cleanup.h"
#include "uninstall/recorded_changes.h"
#include "uninstall/registry_removal.h"

namespace {

constexpr std::size_t kMessageSize = 1024;

// The running program, its folder, and the record beside it.
char g_ownPath[MAX_PATH];
char g_folder[MAX_PATH];
char* g_text = nullptr;
std::size_t g_size = 0;

// What the closing message tells.
FailedNames g_notRemoved;
bool g_removedAtRestart = false;
bool g_putBack = false;
bool g_removeSelf = false;

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

// Calls `action` with every line of `kind` in the record that is the first to name its thing.
template <typename Action>
void ForEachFirst(char kind, unsigned fields, Action action)
{
    ForEachFirstLine(g_text, g_size, kind, fields, action);
}

// ---- reading the record

// Reads UNINSTAL.DAT beside the program, up to its first line that fails.
bool ReadRecord()
{
    char path[MAX_PATH];
    if (!JoinFolderAndName(g_folder, kInstallRecordName, path)) {
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
    g_size = g_text != nullptr ? ValidRecordLength(g_text, size) : 0;
    return g_size > 0;
}

// The products the record names, each once, joined by commas.
void ProductNames(char (&out)[kMessageSize])
{
    out[0] = '\0';
    ForEachFirst(kRecordProduct, kSecondField, [&](const RecordLine& line) {
        char name[kProductNameSize];
        if (DecodeRecordText(line.fields[1], name, sizeof name)) {
            if (out[0] != '\0') {
                AppendText(out, ", ");
            }
            AppendText(out, name);
        }
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
    bool inside = false;
    ForEachFirst(kRecordProduct, kFirstField, [&](const RecordLine& line) {
        char folder[MAX_PATH];
        inside = inside || (DecodeRecordText(line.fields[0], folder, sizeof folder) &&
                            IsAtOrBelowFolder(path, folder));
    });
    return inside;
}

// ---- files

// Deletes one file of the product's; one in use goes at the next start of Windows.
void RemoveFile(const char* path)
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
        return;
    }
    if (DeleteAtRestart(g_setup.windowsDir, path)) {
        g_removedAtRestart = true;
        return;
    }
    NoteFailed(g_notRemoved, path);
}

void TakeBackFile(const RecordLine& line)
{
    char path[MAX_PATH];
    const RecordedFile file = MergeFileLines(g_text, g_size, line);
    if (!DecodeRecordText(line.fields[0], path, sizeof path) ||
        !IsInstallPlace(path, file.windows)) {
        return;
    }
    const bool noUseLeft = file.counted && LowerUseCount(path);
    if (UninstallDeletesFile(file, noUseLeft)) {
        RemoveFile(path);
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

// The folders the setup made, deepest first (again and again, until no more go), each when it
// is empty.
void RemoveFolders()
{
    for (bool removed = true; removed;) {
        removed = false;
        ForEachFirst(kRecordFolder, kFirstField, [&](const RecordLine& line) {
            char path[MAX_PATH];
            if (DecodeRecordText(line.fields[0], path, sizeof path) &&
                IsInstallPlace(path, false) && RemoveDirectoryA(path)) {
                removed = true;
            }
        });
    }
}

// True when the folder of the program holds anything that the record does not name.
bool FolderHoldsOtherFiles()
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
    bool other = false;
    do {
        char path[MAX_PATH];
        const char* name = found.cFileName;
        if (EqualsExactly(name, ".") || EqualsExactly(name, "..") ||
            EqualsIgnoreCase(name, kInstallRecordName) ||
            !JoinFolderAndName(g_folder, name, path)) {
            continue;
        }
        const char kind = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                              ? kRecordFolder
                              : kRecordFile;
        bool named = false;
        ForEachFirst(kind, kFirstField, [&](const RecordLine& line) {
            named = named || RecordFieldIs(line.fields[0], path);
        });
        other = !named || (kind == kRecordFolder && g_notRemoved.count == 0);
    } while (!other && FindNextFileA(search, &found));
    FindClose(search);
    return other;
}

// The record goes once everything in it is taken back or waits for the next start. Otherwise it
// stays for a second run, without the use counts that this run has lowered already.
void EndRecord()
{
    char path[MAX_PATH];
    if (!JoinFolderAndName(g_folder, kInstallRecordName, path)) {
        return;
    }
    if (g_notRemoved.count == 0) {
        DeleteFileA(path);
        return;
    }
    const HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    std::size_t position = 0;
    RecordLine line;
    while (ReadRecordLine(g_text, g_size, position, line)) {
        DWORD written = 0;
        if (line.kind != kRecordCount) {
            WriteFile(file, g_text + line.start, static_cast<DWORD>(line.end - line.start),
                      &written, nullptr);
        }
    }
    CloseHandle(file);
}

// True when the setup made the program's folder.
bool FolderMadeBySetup()
{
    bool made = false;
    ForEachFirst(kRecordFolder, kFirstField, [&](const RecordLine& line) {
        made = made || RecordFieldIs(line.fields[0], g_folder);
    });
    return made;
}

// ---- the whole uninstall

void TakeBackEverything()
{
    ForEachFirst(kRecordPending, kFirstTwoFields, CancelReplacement);
    RemoveLeftovers(g_text, g_size);
    ForEachFirst(kRecordFile, kFirstField, TakeBackFile);
    ForEachFirst(kRecordBefore, kFirstThreeFields, [](const RecordLine& line) {
        g_putBack = TakeBackValue(g_text, g_size, line, g_notRemoved) || g_putBack;
    });
    // The uninstall entries go only when nothing is left to a second run, which needs them.
    if (g_notRemoved.count == 0) {
        ForEachFirst(kRecordBefore, kFirstThreeFields,
                     [](const RecordLine& line) { RemoveUninstallEntry(line, g_ownPath); });
    }
    RemoveCreatedKeys(g_text, g_size);
    EndRecord();
    if (g_notRemoved.count != 0) {
        g_removeSelf = false;
    }
    RemoveFolders();
}

void ShowSummary(const char* products, const char* caption)
{
    char text[kMessageSize] = "";
    AppendFormatted(text, IDS_REMOVED, products);
    if (g_putBack) {
        AppendText(text, Text(IDS_PUT_BACK));
    }
    if (g_notRemoved.count > 0) {
        AppendFormatted(text, IDS_FILES_NOT_REMOVED, g_notRemoved.names);
        AppendText(text, Text(IDS_RUN_AGAIN));
    }
    if (FolderHoldsOtherFiles()) {
        AppendFormatted(text, IDS_FOLDER_STAYS, g_folder);
    }
    if (g_removedAtRestart) {
        AppendText(text, Text(IDS_REMOVED_AT_RESTART));
    }
    MessageBoxA(nullptr, text, caption,
                g_notRemoved.count > 0 ? MB_ICONWARNING : MB_ICONINFORMATION);
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
    if (g_removeSelf && !RemoveAfterExit(g_ownPath, FolderMadeBySetup() ? g_folder : "")) {
        g_removedAtRestart = true;
    }
    ShowSummary(products, caption);
    return 0;
}
