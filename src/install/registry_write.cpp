#include "install/registry_write.h"

HKEY CreateVolatileKey(HKEY root, const char* path)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, &disposition) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

void SetRegistryValue(HKEY key, const RegistryValue& value)
{
    RegSetValueExA(key, value.name, 0, value.type, value.data, value.count);
}
