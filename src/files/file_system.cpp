#include "files/file_system.h"

#include "base/bounded_text.h"
#include "script/install_locations.h"

namespace {

// Both names made comparable as typed, and again in their short forms when the first does not
// settle it (a name that does not exist has no short form).
bool Compare(const char* a, const char* b, bool (*test)(const char*, const char*))
{
    char left[MAX_PATH];
    char right[MAX_PATH];
    if (!CopyText(left, a) || !CopyText(right, b)) {
        return false;
    }
    NormaliseFolder(left);
    NormaliseFolder(right);
    if (test(left, right)) {
        return true;
    }
    char shortLeft[MAX_PATH];
    char shortRight[MAX_PATH];
    const DWORD leftLength = GetShortPathNameA(left, shortLeft, sizeof shortLeft);
    const DWORD rightLength = GetShortPathNameA(right, shortRight, sizeof shortRight);
    if (leftLength == 0 || leftLength >= sizeof shortLeft || rightLength == 0 ||
        rightLength >= sizeof shortRight) {
        return false;
    }
    NormaliseFolder(shortLeft);
    NormaliseFolder(shortRight);
    return test(shortLeft, shortRight);
}

} // namespace

char* ReadWholeFile(HANDLE file, std::size_t& size)
{
    const DWORD length = GetFileSize(file, nullptr);
    char* text = length == INVALID_FILE_SIZE
                     ? nullptr
                     : static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, length + 1));
    DWORD read = 0;
    if (text != nullptr && (!ReadFile(file, text, length, &read, nullptr) || read != length)) {
        HeapFree(GetProcessHeap(), 0, text);
        text = nullptr;
    }
    size = read;
    return text;
}

char* ReadNamedFile(const char* path, std::size_t& size)
{
    size = 0;
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    char* text = ReadWholeFile(file, size);
    CloseHandle(file);
    return text;
}

bool JoinFolderAndName(const char* folder, const char* name, char (&out)[MAX_PATH])
{
    if (!BuildSubdirectoryPath(folder, name, out, sizeof out)) {
        return false;
    }
    CollapseBackslashes(out);
    return true;
}

bool SamePath(const char* a, const char* b)
{
    return Compare(a, b, EqualsIgnoreCase);
}

bool IsAtOrBelowFolder(const char* path, const char* folder)
{
    return Compare(path, folder, PathIsAtOrBelow);
}
