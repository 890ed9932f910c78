#include "support/registry_values.h"

#include <gtest/gtest.h>

namespace {

// NtDeleteKey removes a key through a handle, the only way to remove a link key itself.
using NtDeleteKeyFunction = LONG(WINAPI*)(HANDLE);

void DeleteOneKey(HKEY parent, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name, REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return;
    }
    DWORD type = 0;
    const bool isLink =
        RegQueryValueExA(key, "SymbolicLinkValue", nullptr, &type, nullptr, nullptr) ==
            ERROR_SUCCESS && type == REG_LINK;
    if (!isLink) {
        // Children first, always index 0: each removal moves the next one up.
        char child[512];
        for (;;) {
            DWORD size = sizeof child;
            if (RegEnumKeyExA(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                break;
            }
            HKEY probe = nullptr;
            DeleteOneKey(key, child);
            // A child that would not go: stop rather than loop.
            if (RegOpenKeyExA(key, child, REG_OPTION_OPEN_LINK, KEY_READ, &probe) ==
                ERROR_SUCCESS) {
                RegCloseKey(probe);
                break;
            }
        }
    }
    const auto ntDeleteKey = reinterpret_cast<NtDeleteKeyFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
    if (ntDeleteKey != nullptr) {
        ntDeleteKey(key);
    }
    RegCloseKey(key);
}

} // namespace

StoredValue ReadStoredValue(HKEY root, const std::string& keyPath, const std::string& valueName)
{
    StoredValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return value;
    }
    DWORD size = 0;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) ==
        ERROR_SUCCESS) {
        value.bytes.resize(size);
        if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                             size > 0 ? value.bytes.data() : nullptr, &size) == ERROR_SUCCESS) {
            value.found = true;
            value.type = type;
            value.bytes.resize(size);
        }
    }
    RegCloseKey(key);
    return value;
}

std::string StoredText(const StoredValue& value)
{
    std::string text(value.bytes.begin(), value.bytes.end());
    if (!text.empty() && text.back() == '\0') {
        text.pop_back();
    }
    return text;
}

void ExpectString(const StoredValue& value, const std::string& text)
{
    ASSERT_TRUE(value.found);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(StoredText(value), text);
}

void ExpectBinary(const StoredValue& value, const Bytes& bytes)
{
    ASSERT_TRUE(value.found);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(value.bytes, bytes);
}

bool KeyExists(HKEY root, const std::string& keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyPath.c_str(), REG_OPTION_OPEN_LINK, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

bool CreateTestKey(HKEY root, const std::string& keyPath, bool persistent)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr,
                        persistent ? REG_OPTION_NON_VOLATILE : REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void DeleteKeyTree(HKEY root, const std::string& keyPath)
{
    DeleteOneKey(root, keyPath.c_str());
}

bool CreateBrokenLinkKey(HKEY root, const std::string& keyPath)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr,
                        REG_OPTION_VOLATILE | REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const wchar_t target[] = L"NotAKeyPath";
    const bool set = RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK,
                                    reinterpret_cast<const BYTE*>(target),
                                    sizeof target - sizeof(wchar_t)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return set;
}

bool KeyIsVolatile(HKEY root, const std::string& keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return false;
    }
    HKEY child = nullptr;
    const LONG made = RegCreateKeyExA(key, "PersistentProbe", 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      KEY_ALL_ACCESS, nullptr, &child, nullptr);
    if (made == ERROR_SUCCESS) {
        RegCloseKey(child);
        RegDeleteKeyA(key, "PersistentProbe");
    }
    RegCloseKey(key);
    return made == ERROR_CHILD_MUST_BE_VOLATILE;
}
