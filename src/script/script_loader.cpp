#include "script/script_loader.h"

#include "base/bounded_text.h"
#include "base/setup_state.h"
#include "base/text_catalogue.h"
#include "script/read_script.h"
#include "script/script_rules.h"

namespace {

// Allocates the zero-filled file table for `fileCount` records and the spare bytes after them.
// Returns 1 on success, 0 when the block cannot be had.
int AllocateFileTable(short fileCount)
{
    const DWORD bytes = static_cast<DWORD>(fileCount) * sizeof(FileEntry) + kFileTableSpareBytes;
    g_setup.fileTableHandle = GlobalAlloc(GMEM_ZEROINIT, bytes);
    if (g_setup.fileTableHandle == nullptr) {
        g_setup.fileTableBase = nullptr;
        return 0;
    }
    g_setup.fileTableBase = static_cast<FileEntry*>(GlobalLock(g_setup.fileTableHandle));
    return g_setup.fileTableBase != nullptr ? 1 : 0;
}

// The script, read through the system's private-profile functions, with the
// section and key names of the string table.
struct SystemScriptReader {
    const char* scriptPath;

    const char* Text(unsigned id) const { return LoadText(id); }

    void ReadText(const char* section, const char* key, const char* fallback, char* out,
                  std::size_t size) const
    {
        GetPrivateProfileStringA(section, key, fallback, out, static_cast<DWORD>(size),
                                 scriptPath);
    }

    std::int32_t ReadNumber(const char* section, const char* key, std::int32_t fallback) const
    {
        return static_cast<std::int32_t>(
            GetPrivateProfileIntA(section, key, fallback, scriptPath));
    }

    FileEntry* AllocateFiles(std::int16_t count) const
    {
        return AllocateFileTable(count) ? g_setup.fileTableBase : nullptr;
    }
};

void ReadProgramFilesDir(char (&out)[kPathSize])
{
    CopyText(out, kProgramFilesFallback);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return;
    }
    char value[kPathSize + 1] = {};
    DWORD size = kPathSize;
    DWORD type = 0;
    if (RegQueryValueExA(key, "ProgramFilesDir", nullptr, &type,
                         reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS) {
        CopyText(out, value);
    }
    RegCloseKey(key);
}

// Reads the script at `scriptPath` into the shared state and the file table.
int LoadScriptFile(const char* scriptPath)
{
    char programFiles[kPathSize];
    ReadProgramFilesDir(programFiles);
    SystemScriptReader reader{scriptPath};
    return ReadSetupScript(reader, g_setup.windowsDir, programFiles, g_setup, g_setup.diskFiles);
}

} // namespace

void ReleaseFileTable()
{
    if (g_setup.fileTableHandle == nullptr) {
        return;
    }
    GlobalUnlock(g_setup.fileTableHandle);
    GlobalFree(g_setup.fileTableHandle);
    g_setup.fileTableHandle = nullptr;
    g_setup.fileTableBase = nullptr;
}

int LoadSetupScript(const char* folder)
{
    // The module path is read whole, so that a directory too long for the 80-byte slot is
    // noticed instead of being cut.
    char modulePath[MAX_PATH] = {};
    GetModuleFileNameA(g_setup.instance, modulePath, sizeof modulePath);
    TrimToDirectory(modulePath);
    char scriptPath[kPathSize];
    if (!CopyText(g_setup.sourceDir, folder != nullptr ? folder : modulePath) ||
        !BuildScriptPath(g_setup.sourceDir, scriptPath, sizeof scriptPath)) {
        const char* setupProgram = LoadText(IDS_SETUP_PROGRAM);
        CopyText(g_setup.caption, setupProgram != nullptr ? setupProgram : "");
        return 0;
    }
    return LoadScriptFile(scriptPath);
}
