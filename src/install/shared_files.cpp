#include "install/shared_files.h"

#include "install/record_writer.h"
#include "record/install_record.h"

namespace {

constexpr char kSharedFilesKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// The count of `path`: a 32-bit number, stored as a REG_DWORD or as four binary bytes; 0 when
// there is none.
DWORD ReadCount(HKEY key, const char* path)
{
    DWORD count = 0;
    DWORD type = 0;
    DWORD size = sizeof count;
    if (RegQueryValueExA(key, path, nullptr, &type, reinterpret_cast<BYTE*>(&count), &size) !=
            ERROR_SUCCESS ||
        size != sizeof count || (type != REG_DWORD && type != REG_BINARY)) {
        return 0;
    }
    return count;
}

void WriteCount(HKEY key, const char* path, DWORD count)
{
    if (count == 0) {
        RegDeleteValueA(key, path);
    } else {
        RegSetValueExA(key, path, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count),
                       sizeof count);
    }
}

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

void RaiseUseCount(const char* path, bool otherOwner)
{
    if (RecordCountsUse(path) || InstallRecordFailed()) {
        return;
    }
    const HKEY key = OpenCounts();
    if (key == nullptr) {
        return;
    }
    const DWORD count = ReadCount(key, path);
    WriteCount(key, path, count + (count == 0 && otherOwner ? 2 : 1));
    RegCloseKey(key);
    // Noted once raised: should the setup stop in between, the count errs high and the file stays.
    RecordChange(kRecordCount, path);
}

bool LowerUseCount(const char* path)
{
    const HKEY key = OpenCounts();
    if (key == nullptr) {
        return false;
    }
    DWORD count = ReadCount(key, path);
    count = count > 1 ? count - 1 : 0;
    WriteCount(key, path, count);
    RegCloseKey(key);
    return count == 0;
}

bool HasUseCount(const char* path)
{
    const HKEY key = OpenCounts();
    const bool counted = key != nullptr && ReadCount(key, path) != 0;
    if (key != nullptr) {
        RegCloseKey(key);
    }
    return counted;
}
