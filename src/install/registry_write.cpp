#include "install/registry_write.h"

#include "install/record_writer.h"
#include "record/install_record.h"

namespace {

// The largest value a Windows 95 key holds is 16,300 bytes.
constexpr DWORD kMostValueBytes = 16 * 1024;
BYTE g_data[kMostValueBytes];

const char* RootName(HKEY root)
{
    return root == HKEY_CLASSES_ROOT ? kRecordClassesRoot : kRecordLocalMachine;
}

// Records the value's data as it is now (kind: before or written). False when the data is too
// large to be recorded or the line cannot be written.
bool RecordCurrentValue(char kind, HKEY root, const char* path, HKEY key, const char* name)
{
    DWORD type = 0;
    DWORD size = sizeof g_data;
    const LONG read = RegQueryValueExA(key, name, nullptr, &type, g_data, &size);
    if (read != ERROR_SUCCESS && read != ERROR_FILE_NOT_FOUND) {
        return false;
    }
    return RecordValue(kind, RootName(root), path, name, read == ERROR_SUCCESS, type, g_data,
                       size);
}

} // namespace

HKEY CreateRecordedKey(HKEY root, const char* path)
{
    // Every level is opened before the key is made: from the first one missing on, each is new.
    char level[kRegistryKeyPathSize];
    bool missing = false;
    for (std::size_t i = 0; i < sizeof level; ++i) {
        if (path[i] != '\\' && path[i] != '\0') {
            level[i] = path[i];
            continue;
        }
        level[i] = '\0';
        HKEY existing = nullptr;
        if (!missing && RegOpenKeyExA(root, level, 0, KEY_READ, &existing) == ERROR_SUCCESS) {
            RegCloseKey(existing);
        } else {
            missing = true;
            if (!RecordChange(kRecordKey, RootName(root), level)) {
                return nullptr;
            }
        }
        if (path[i] == '\0') {
            break;
        }
        level[i] = '\\';
    }
    if (InstallRecordFailed()) {
        return nullptr;
    }
    HKEY key = nullptr;
    DWORD disposition = 0;
    // Windows 95 and 98 ignore REG_OPTION_VOLATILE: the key is kept like any other. (Windows NT
    // would drop it at the next start, but the setup runs on 95 and 98 only.)
    if (RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, &disposition) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

void SetRecordedValue(HKEY root, const char* path, HKEY key, const RegistryValue& value)
{
    if (!RecordCurrentValue(kRecordBefore, root, path, key, value.name)) {
        return;
    }
    RegSetValueExA(key, value.name, 0, value.type, value.data, value.count);
    RecordCurrentValue(kRecordWritten, root, path, key, value.name);
}
