#include "install/record_writer.h"

#include "base/bounded_text.h"
#include "base/setup_state.h"
#include "files/file_system.h"
#include "files/leftovers.h"
#include "record/install_record.h"
#include "install/uninstall_registration.h"
#include "script/script_names.h"
#include "script/script_rules.h"

namespace {

// The record file, and a copy of its whole text (the lines of earlier installs and this one's)
// for the questions the setup asks of it.
HANDLE g_file = INVALID_HANDLE_VALUE;
char* g_text = nullptr;
std::size_t g_size = 0;
std::size_t g_capacity = 0;
bool g_failed = false;
char g_line[kMostRecordLine];

// Keeps `length` bytes more of text in memory.
bool KeepText(const char* text, std::size_t length)
{
    if (g_size + length > g_capacity) {
        const std::size_t capacity = (g_size + length) * 2 + 4096;
        void* grown = g_text == nullptr
                          ? HeapAlloc(GetProcessHeap(), 0, capacity)
                          : HeapReAlloc(GetProcessHeap(), 0, g_text, capacity);
        if (grown == nullptr) {
            return false;
        }
        g_text = static_cast<char*>(grown);
        g_capacity = capacity;
    }
    for (std::size_t i = 0; i < length; ++i) {
        g_text[g_size + i] = text[i];
    }
    g_size += length;
    return true;
}

// Writes whole lines to the file and keeps them; from the first failure on, nothing more.
bool WriteLines(const char* text, std::size_t length)
{
    DWORD written = 0;
    if (g_failed || g_file == INVALID_HANDLE_VALUE ||
        !WriteFile(g_file, text, static_cast<DWORD>(length), &written, nullptr) ||
        written != length || !KeepText(text, length)) {
        g_failed = true;
    }
    return !g_failed;
}

bool WriteBuiltLine(RecordLineBuilder& line)
{
    const std::size_t length = FinishRecordLine(line);
    if (length == 0) {
        g_failed = true;
        return false;
    }
    return WriteLines(line.out, length);
}

// Takes over the record that an earlier install into another folder left: its whole lines (but its
// header) follow ours, and the file goes, so that only this record names those changes.
void TakeOverEarlierRecord()
{
    char folder[MAX_PATH];
    char path[MAX_PATH];
    if (!EarlierInstallFolder(folder) || !JoinFolderAndName(folder, kInstallRecordName, path)) {
        return;
    }
    std::size_t size = 0;
    char* text = ReadNamedFile(path, size);
    if (text == nullptr) {
        return;
    }
    char owner[MAX_PATH];
    std::size_t position = 0;
    RecordLine header;
    if (RecordFolder(text, size, owner, sizeof owner) && SamePath(owner, folder) &&
        ReadRecordLine(text, size, position, header) &&
        WriteLines(text + position, WholeRecordLength(text, size) - position)) {
        DeleteFileA(path);
    }
    HeapFree(GetProcessHeap(), 0, text);
}

// Opens the record file and reads what it holds: the whole lines of earlier installs are kept
// (a damaged one among them is skipped by every reader); a torn end goes. False for a file that
// is no record of this folder.
bool OpenRecordFile(const char* path)
{
    g_file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (g_file == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::size_t size = 0;
    char* text = ReadWholeFile(g_file, size);
    if (text == nullptr) {
        return false;
    }
    const std::size_t valid = WholeRecordLength(text, size);
    char folder[MAX_PATH];
    // A file whose first line is whole but no line of ours belongs to someone else; one whose
    // first line is torn is what a stopped setup left.
    bool ours = valid == 0 || (RecordFolder(text, size, folder, sizeof folder) &&
                               SamePath(folder, g_setup.destDir));
    ours = ours && KeepText(text, valid) &&
           SetFilePointer(g_file, static_cast<LONG>(valid), nullptr, FILE_BEGIN) == valid &&
           SetEndOfFile(g_file);
    HeapFree(GetProcessHeap(), 0, text);
    return ours;
}

} // namespace

bool ContinueInstallRecord()
{
    g_failed = false;
    g_size = 0;
    char path[MAX_PATH];
    if (!JoinFolderAndName(g_setup.destDir, kInstallRecordName, path) || !OpenRecordFile(path)) {
        EndInstallRecord();
        g_failed = true;
    }
    return !g_failed;
}

bool StartInstallRecord()
{
    if (!ContinueInstallRecord()) {
        return false;
    }
    if (g_size == 0) {
        RecordChange(kRecordHeader, g_setup.destDir);
    }
    TakeOverEarlierRecord();
    RecordChange(kRecordProduct, g_setup.destDir, g_setup.productName);
    if (g_setup.madeDestination[0] != '\0' && SamePath(g_setup.madeDestination, g_setup.destDir)) {
        RecordChange(kRecordFolder, g_setup.destDir);
    }
    FlushInstallRecord();
    RemoveLeftovers(g_text, g_size);
    return !g_failed;
}

void FlushInstallRecord()
{
    if (g_file != INVALID_HANDLE_VALUE && !FlushFileBuffers(g_file)) {
        g_failed = true;
    }
}

void EndInstallRecord()
{
    if (g_file != INVALID_HANDLE_VALUE) {
        FlushInstallRecord();
        CloseHandle(g_file);
        g_file = INVALID_HANDLE_VALUE;
    }
    if (g_text != nullptr) {
        HeapFree(GetProcessHeap(), 0, g_text);
        g_text = nullptr;
    }
    g_size = 0;
    g_capacity = 0;
}

bool InstallRecordFailed()
{
    return g_failed;
}

bool RecordChange(char kind, const char* first, const char* second)
{
    RecordLineBuilder line;
    BeginRecordLine(line, g_line, sizeof g_line, kind);
    AddRecordText(line, first);
    if (second != nullptr) {
        AddRecordText(line, second);
    }
    return WriteBuiltLine(line);
}

bool RecordFile(const char* path, const char* flags, std::uint32_t length, std::uint32_t sum)
{
    char lengthText[9];
    char sumText[9];
    HexNumber(length, lengthText);
    HexNumber(sum, sumText);
    RecordLineBuilder line;
    BeginRecordLine(line, g_line, sizeof g_line, kRecordFile);
    AddRecordText(line, path);
    AddRecordText(line, flags);
    AddRecordText(line, lengthText);
    AddRecordText(line, sumText);
    return WriteBuiltLine(line);
}

bool RecordValue(char kind, const char* rootName, const char* keyPath, const char* valueName,
                 bool present, std::uint32_t type, const BYTE* data, std::uint32_t count)
{
    RecordLineBuilder line;
    BeginRecordLine(line, g_line, sizeof g_line, kind);
    AddRecordText(line, rootName);
    AddRecordText(line, keyPath);
    AddRecordText(line, valueName);
    AddRecordData(line, present, type, data, count);
    return WriteBuiltLine(line);
}

bool RecordCountsUse(const char* path)
{
    return LastRecordLineWith(g_text, g_size, kRecordCount, 0, path) >
           LastRecordLineWith(g_text, g_size, kRecordLowered, 0, path);
}
