#include "script/script_loader.h"

#include "controller/bounded_text.h"
#include "controller/setup_state.h"
#include "controller/text_catalogue.h"
#include "script/script_rules.h"

namespace {

// Reads one text key into `out` (capacity bytes), asking the reader for at most `readSize` - 1
// characters, so that a value is first cut as the reader cuts it and then to its slot.
void ReadText(const char* scriptPath, unsigned section, unsigned key, const char* fallback,
              char* out, std::size_t capacity, std::size_t readSize)
{
    char value[256];
    if (readSize > sizeof value) {
        readSize = sizeof value;
    }
    // Section and key come from two of the rotating text buffers at once.
    GetPrivateProfileStringA(LoadText(section), LoadText(key), fallback, value,
                             static_cast<DWORD>(readSize), scriptPath);
    CopyText(out, capacity, value);
}

int ReadNumber(const char* scriptPath, unsigned section, const char* key, int fallback)
{
    return static_cast<int>(
        GetPrivateProfileIntA(LoadText(section), key, fallback, scriptPath));
}

int ReadNumber(const char* scriptPath, unsigned section, unsigned key, int fallback)
{
    return ReadNumber(scriptPath, section, LoadText(key), fallback);
}

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

void ReadDefaultDestination(const char* scriptPath)
{
    char defaultPath[kPathSize];
    ReadText(scriptPath, kTextMainSection, kTextDefaultPath, kDefaultPathDefault, defaultPath,
             sizeof defaultPath, sizeof defaultPath);
    char programFiles[kPathSize];
    ReadProgramFilesDir(programFiles);
    BuildDefaultDestination(defaultPath, g_setup.windowsDir, programFiles, g_setup.destDir,
                            sizeof g_setup.destDir);
}

void BuildCaption()
{
    CopyText(g_setup.caption, g_setup.productName);
    AppendText(g_setup.caption, " ");
    const char* setupProgram = LoadText(kTextSetupProgram);
    AppendText(g_setup.caption, setupProgram != nullptr ? setupProgram : "");
}

void ReadFileLines(const char* scriptPath)
{
    // The ten directory key names, kept while the lines are matched against them.
    char keyText[kDirectoryKeyCount][kTextBufferSize];
    const char* keyNames[kDirectoryKeyCount];
    for (int i = 0; i < kDirectoryKeyCount; ++i) {
        const char* name = LoadText(kTextRootDir + i);
        CopyText(keyText[i], name != nullptr ? name : "");
        keyNames[i] = keyText[i];
    }

    for (int d = 0; d < g_setup.diskCount; ++d) {
        for (int j = 1; j <= g_setup.fileCounts[d]; ++j) {
            char keyName[16];
            wsprintfA(keyName, "%d", j);
            char line[kFileLineSize];
            GetPrivateProfileStringA(LoadText(kTextDisk1 + d), keyName, "", line, sizeof line,
                                     scriptPath);
            if (line[0] != '\0') {
                FillFileEntry(line, keyNames, g_setup.directoryNames, g_setup.windowsDir,
                              g_setup.diskFiles[d][j - 1]);
            }
        }
    }
}

} // namespace

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

int LoadSetupScript()
{
    // The module path is read whole, so that a directory too long for the 80-byte slot is
    // noticed instead of being cut.
    char modulePath[MAX_PATH] = {};
    GetModuleFileNameA(g_setup.instance, modulePath, sizeof modulePath);
    TrimToDirectory(modulePath);
    char scriptPath[kPathSize];
    if (!CopyText(g_setup.sourceDir, modulePath) ||
        !BuildScriptPath(g_setup.sourceDir, scriptPath, sizeof scriptPath)) {
        const char* setupProgram = LoadText(kTextSetupProgram);
        CopyText(g_setup.caption, setupProgram != nullptr ? setupProgram : "");
        return 0;
    }

    ReadDefaultDestination(scriptPath);

    ReadText(scriptPath, kTextMainSection, kTextProductName, kProductNameDefault, g_setup.productName,
             sizeof g_setup.productName, kProductNameReadSize);
    ReadText(scriptPath, kTextMainSection, kTextDriverName, kDriverNameDefault, g_setup.driverName,
             sizeof g_setup.driverName, kDriverNameReadSize);
    g_setup.oemData1 = ReadNumber(scriptPath, kTextMainSection, kTextOemData1, kOemData1Default);
    g_setup.oemData2 = ReadNumber(scriptPath, kTextMainSection, kTextOemData2, kOemData2Default);
    BuildCaption();
    g_setup.minimumSpaceKb = static_cast<std::int16_t>(
        ReadNumber(scriptPath, kTextMainSection, kTextMinimumSpace, kMinimumSpaceDefault));

    for (int d = 0; d < kMaxDisks; ++d) {
        ReadText(scriptPath, kTextDiskLabelSection, kTextDisk1 + d, "", g_setup.diskLabels[d],
                 kDiskLabelSize, kDiskLabelReadSize);
    }
    g_setup.diskCount = static_cast<std::int16_t>(CountDisks(g_setup.diskLabels));

    for (int i = 0; i < kDirectoryKeyCount; ++i) {
        ReadText(scriptPath, kTextDirectoryNameSection, kTextRootDir + i, "",
                 g_setup.directoryNames[i], kPathSize, kPathSize);
    }

    for (int d = 0; d < g_setup.diskCount; ++d) {
        g_setup.fileCounts[d] = static_cast<std::int16_t>(
            ReadNumber(scriptPath, kTextFileCountsSection, kTextDisk1 + d, 0));
    }
    const int total = TotalFiles(g_setup.fileCounts, g_setup.diskCount);
    if (total < 0) {
        return 0;
    }
    g_setup.totalFiles = static_cast<std::int16_t>(total);

    if (!AllocateFileTable(g_setup.totalFiles)) {
        return 0;
    }
    // A disk whose count is 0 or less holds no records.
    g_setup.diskFiles[0] = g_setup.fileTableBase;
    for (int d = 1; d <= g_setup.diskCount; ++d) {
        const int previous = g_setup.fileCounts[d - 1];
        g_setup.diskFiles[d] = g_setup.diskFiles[d - 1] + (previous > 0 ? previous : 0);
    }

    ReadFileLines(scriptPath);
    return 1;
}
