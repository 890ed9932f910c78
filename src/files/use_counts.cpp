#include "files/use_counts.h"

namespace {

constexpr char kSharedFilesKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// The key of the counts, made (to last) when it is missing.
HKEY OpenCounts()
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedFilesKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

} // namespace

bool ReadUseCount(const char* path, UseCount& out)
{
    out = UseCount{0, REG_DWORD};
    const HKEY key = OpenCounts();
    if (key == nullptr) {
        return false;
    }
    DWORD count = 0;
    DWORD type = 0;
    DWORD size = sizeof count;
    if (RegQueryValueExA(key, path, nullptr, &type, reinterpret_cast<BYTE*>(&count), &size) ==
            ERROR_SUCCESS &&
        size == sizeof count && (type == REG_DWORD || type == REG_BINARY)) {
        out = UseCount{count, type};
    }
    RegCloseKey(key);
    return true;
}

bool WriteUseCount(const char* path, const UseCount& count)
{
    const HKEY key = OpenCounts();
    if (key == nullptr) {
        return false;
    }
    const LONG written =
        count.count == 0
            ? RegDeleteValueA(key, path)
            : RegSetValueExA(key, path, 0, count.type, reinterpret_cast<const BYTE*>(&count.count),
                             sizeof count.count);
    RegCloseKey(key);
    return written == ERROR_SUCCESS || written == ERROR_FILE_NOT_FOUND;
}

bool LowerUseCount(const char* path)
{
    UseCount count;
    if (!ReadUseCount(path, count)) {
        return false;
    }
    count.count = count.count > 1 ? count.count - 1 : 0;
    return WriteUseCount(path, count) && count.count == 0;
}

bool HasUseCount(const char* path)
{
    UseCount count;
    return ReadUseCount(path, count) && count.count != 0;
}
