// Reading back what a test program wrote to the (Wine) registry, and clearing it again.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

struct StoredValue {
    bool found = false;
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> bytes;
};

// A value as RegQueryValueExA gives it back: type and exact bytes.
StoredValue ReadStoredValue(HKEY root, const std::string& keyPath, const std::string& valueName);

// The text of a string value. Wine keeps a NUL after a REG_SZ whatever count it was given, so
// one trailing NUL is not part of the text.
std::string StoredText(const StoredValue& value);

// Test checks: the value exists, is a REG_SZ with this text or a REG_BINARY with these bytes.
void ExpectString(const StoredValue& value, const std::string& text);
void ExpectBinary(const StoredValue& value, const Bytes& bytes);

bool KeyExists(HKEY root, const std::string& keyPath);

// Creates a key (volatile unless `persistent`) with all the keys on its path; false on failure.
bool CreateTestKey(HKEY root, const std::string& keyPath, bool persistent = false);

// Removes a key with everything below it; keys made as symbolic links (RegistryLinkKey) are
// removed as links, without following them.
void DeleteKeyTree(HKEY root, const std::string& keyPath);

// Makes `keyPath` a symbolic link whose target is not a usable key path: opening it fails, and
// so does creating it or a key below it.
bool CreateBrokenLinkKey(HKEY root, const std::string& keyPath);

// True when the key was created volatile: a non-volatile key cannot be made below it.
bool KeyIsVolatile(HKEY root, const std::string& keyPath);
