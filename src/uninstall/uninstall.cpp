#include "uninstall/uninstall.h"

#include "base/bounded_text.h"
#include "base/setup_state.h"
#include "base/text_catalogue.h"
#include "install/copy_progress.h"
#include "install/file_placement.h"
#include "install/joystick_config.h"
#include "install/joystick_registration.h"
#include "install/registry_line.h"
#include "install/registry_section.h"
#include "install/registry_write.h"
#include "script/script_loader.h"
#include "script/script_rules.h"
#include "uninstall/removal_rules.h"

namespace {

constexpr char kUninstallInfo[] = "\\UNINSTAL.INF";
constexpr std::size_t kMessageSize = 512;

// The running program: it cannot delete itself, so it goes at the next start of Windows.
char g_ownPath[MAX_PATH];
// Some file is removed only at the next start of Windows.
bool g_removedAtRestart = false;

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

bool IsReadable(const char* path)
{
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

// ---- the registry

bool KeyIsEmpty(HKEY root, const char* keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD subkeys = 1;
    DWORD values = 1;
    const bool read = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                       &values, nullptr, nullptr, nullptr, nullptr) ==
                      ERROR_SUCCESS;
    RegCloseKey(key);
    return read && subkeys == 0 && values == 0;
}

// Takes back one line of the registry section: its value, then every key along its path that is
// left empty, from the deepest up, as far as the rules allow.
void RemoveRegistryLine(const char* deviceClassKey, const char* line)
{
    RegistryLine parsed;
    if (!ParseRegistryLine(deviceClassKey, g_setup.productName, line, parsed)) {
        return;
    }
    const HKEY root = RootKeyOf(parsed);
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, parsed.keyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return;
    }
    RegDeleteValueA(key, parsed.valueName);
    RegCloseKey(key);

    char devicePath[kRegistryKeyPathSize] = "";
    if (deviceClassKey[0] != '\0') {
        CopyText(devicePath, kDeviceClassRoot);
        AppendText(devicePath, deviceClassKey);
    }
    do {
        if (!MayDeleteEmptyKey(parsed.root, parsed.keyPath, devicePath) ||
            !KeyIsEmpty(root, parsed.keyPath) ||
            RegDeleteKeyA(root, parsed.keyPath) != ERROR_SUCCESS) {
            return;
        }
    } while (ToParentKey(parsed.keyPath));
}

// The first joystick's values where the OEM callout is still our driver; another driver's
// settings, and every other value, stay.
void RemoveFirstJoystick(HKEY settings)
{
    char callout[kDriverNameSize + 1] = {};
    DWORD size = kDriverNameSize;
    DWORD type = 0;
    if (RegQueryValueExA(settings, kJoystickValueNames[0], nullptr, &type,
                         reinterpret_cast<BYTE*>(callout), &size) == ERROR_SUCCESS &&
        type == REG_SZ && EqualsIgnoreCase(callout, g_setup.driverName)) {
        for (const char* value : kJoystickValueNames) {
            RegDeleteValueA(settings, value);
        }
    }
}

void RemoveUninstallEntry()
{
    char keyPath[kUninstallTextSize];
    if (BuildUninstallKeyPath(g_setup.productName, keyPath)) {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyPath);
    }
}

// ---- the files

// Deletes one installed file; one in use (the running program among them) goes at the next start
// of Windows.
void RemoveFile(const FileEntry& entry, const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return; // nothing to remove
    }
    if (!EqualsIgnoreCase(path, g_ownPath)) {
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        if (DeleteFileA(path)) {
            return;
        }
    }
    if (DeleteAtRestart(g_setup.windowsDir, path)) {
        g_removedAtRestart = true;
        return;
    }
    ++g_setup.failedFileCount;
    AddFailedName(g_setup.failedFileNames, sizeof g_setup.failedFileNames, entry.targetName);
}

// Every file that a file record installed. Records that SETUP.EXE passes over, refuses or cannot
// place installed nothing, and are passed over here too.
void RemoveFiles()
{
    for (int d = 0; d < g_setup.diskCount; ++d) {
        for (int k = 0; k < g_setup.fileCounts[d]; ++k) {
            const FileEntry& entry = g_setup.diskFiles[d][k];
            char path[kPathSize];
            if (!IsCopiedRecord(entry) || !BuildTargetPath(g_setup.destDir, entry, path, sizeof path)) {
                continue;
            }
            CollapseBackslashes(path);
            RemoveFile(entry, path);
        }
    }
}

// The subdirectories that SETUP.EXE made, deepest first, and the destination folder, each only
// when it is empty: a folder that holds files of the user's stays.
void RemoveFolders()
{
    int order[kFirstWindowsKey - 1];
    int count = 0;
    for (int k = 1; k < kFirstWindowsKey; ++k) {
        const char* name = g_setup.directoryNames[k];
        if (!IsMadeSubdirectory(name)) {
            continue;
        }
        int at = count++;
        for (; at > 0 && PathDepth(g_setup.directoryNames[order[at - 1]]) < PathDepth(name); --at) {
            order[at] = order[at - 1];
        }
        order[at] = k;
    }
    for (int i = 0; i < count; ++i) {
        char path[kPathSize];
        if (BuildSubdirectoryPath(g_setup.destDir, g_setup.directoryNames[order[i]], path,
                                  sizeof path)) {
            RemoveDirectoryA(path);
        }
    }
    RemoveDirectoryA(g_setup.destDir);
}

// True when the destination folder still holds something besides the running program.
bool DestinationHoldsOtherFiles()
{
    char pattern[MAX_PATH];
    CopyText(pattern, g_setup.destDir);
    AppendText(pattern, "\\*");
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool other = false;
    const char* ownName = g_ownPath + TextLength(g_setup.destDir) + 1;
    do {
        const char* name = found.cFileName;
        other = other || (!EqualsExactly(name, ".") && !EqualsExactly(name, "..") &&
                          !EqualsIgnoreCase(name, ownName));
    } while (!other && FindNextFileA(search, &found));
    FindClose(search);
    return other;
}

void ShowSummary(const char* caption)
{
    char text[kMessageSize] = "";
    AppendFormatted(text, kTextRemoved, g_setup.productName);
    if (g_setup.failedFileCount > 0) {
        AppendFormatted(text, kTextFilesNotRemoved, g_setup.failedFileNames);
    }
    if (DestinationHoldsOtherFiles()) {
        AppendFormatted(text, kTextFolderStays, g_setup.destDir);
    }
    if (g_removedAtRestart) {
        AppendText(text, Text(kTextRemovedAtRestart));
    }
    MessageBoxA(nullptr, text, caption,
                g_setup.failedFileCount > 0 ? MB_ICONWARNING : MB_ICONINFORMATION);
}

} // namespace

int RunUninstall(HINSTANCE instance)
{
    g_setup.instance = instance;
    if ((GetVersion() & 0x80000000u) == 0) {
        MessageBoxA(nullptr, Text(kTextWindowsOnly), "Warning", MB_ICONWARNING);
        return 0;
    }
    GetWindowsDirectoryA(g_setup.windowsDir, sizeof g_setup.windowsDir);

    // The program's own folder is the destination that SETUP.EXE installed to, and the copy of the
    // script beside it tells what went where.
    GetModuleFileNameA(instance, g_ownPath, sizeof g_ownPath);
    char folder[MAX_PATH];
    CopyText(folder, g_ownPath);
    TrimToDirectory(folder);
    char scriptPath[MAX_PATH];
    if (!CopyText(g_setup.sourceDir, folder) || !CopyText(scriptPath, folder) ||
        !AppendText(scriptPath, kUninstallInfo) || !IsReadable(scriptPath) ||
        !LoadScriptFile(scriptPath)) {
        ReleaseFileTable();
        MessageBoxA(nullptr, Text(kTextNoUninstallInfo), Text(kTextUninstall), MB_ICONWARNING);
        return 0;
    }
    CopyText(g_setup.destDir, folder);

    char caption[kPathSize];
    CopyText(caption, g_setup.productName);
    AppendText(caption, " ");
    AppendText(caption, Text(kTextUninstall));
    char question[kMessageSize] = "";
    AppendFormatted(question, kTextRemoveQuestion, g_setup.productName);
    if (MessageBoxA(nullptr, question, caption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        ReleaseFileTable();
        return 0;
    }

    // The registry first: its lines are read from UNINSTAL.INF, which is one of the files.
    ForEachRegistryLine(scriptPath, RemoveRegistryLine);
    ForEachJoystickSettingsKey(RemoveFirstJoystick);
    RemoveUninstallEntry();
    RemoveFiles();
    RemoveFolders();
    ReleaseFileTable();
    ShowSummary(caption);
    return 0;
}
