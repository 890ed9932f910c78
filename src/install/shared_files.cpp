#include "install/shared_files.h"

#include "install/record_writer.h"
#include "record/install_record.h"

namespace {

constexpr char kSharedFilesKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// A file's use count, and the type it is stored with: REG_DWORD, or four REG_BINARY bytes as some
// installers store it, which it keeps when it changes.
struct UseCount {
    DWORD count = 0;
    DWORD type = REG_DWORD;
};

// The count of `path`; 0 (a REG_DWORD to be) when there is none.
UseCount ReadCount(HKEY key, const char* path)
{
    UseCount use;
    DWORD size = sizeof use.count;
    if (RegQueryValueExA(key, path, nullptr, &use.type, reinterpret_cast<BYTE*>(&use.count),
                         &size) != ERROR_SUCCESS ||
        size != sizeof use.count || (use.type != REG_DWORD && use.type != REG_BINARY)) {
        return UseCount{};
    }
    return use;
}

void WriteCount(HKEY key, const char* path, const UseCount& use)
{
    if (use.count == 0) {
        RegDeleteValueA(key, path);
    } else {
        RegSetValueExA(key, path, 0, use.type, reinterpret_cast<const BYTE*>(&use.count),
                       sizeof use.count);
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
    if (RecordHolds(kRecordCount, path) || InstallRecordFailed()) {
        return;
    }
    const HKEY key = OpenCounts();
    if (key == nullptr) {
        return;
    }
    UseCount use = ReadCount(key, path);
    use.count += use.count == 0 && otherOwner ? 2 : 1;
    WriteCount(key, path, use);
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
    UseCount use = ReadCount(key, path);
    use.count = use.count > 1 ? use.count - 1 : 0;
    WriteCount(key, path, use);
    RegCloseKey(key);
    return use.count == 0;
}
