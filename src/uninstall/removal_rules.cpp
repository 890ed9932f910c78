#include "uninstall/removal_rules.h"

#include "base/bounded_text.h"

namespace {

// True when `keyPath` is `devicePath` or one of the keys above it (ASCII case ignored; a
// backslash at the end of `keyPath` names the same key).
bool IsAtOrAbove(const char* keyPath, const char* devicePath)
{
    std::size_t length = TextLength(keyPath);
    while (length > 0 && keyPath[length - 1] == '\\') {
        --length;
    }
    std::size_t i = 0;
    for (; i < length; ++i) {
        if (AsciiUpper(keyPath[i]) != AsciiUpper(devicePath[i])) {
            return false;
        }
    }
    return devicePath[i] == '\0' || devicePath[i] == '\\';
}

} // namespace

std::size_t PathDepth(const char* path)
{
    std::size_t depth = 0;
    bool inName = false;
    for (std::size_t i = 0; path[i] != '\0'; ++i) {
        const bool separator = path[i] == '\\';
        depth += !separator && !inName ? 1 : 0;
        inName = !separator;
    }
    return depth;
}

bool MayDeleteEmptyKey(RegistryRoot root, const char* keyPath, const char* devicePath)
{
    switch (root) {
    case RegistryRoot::LocalMachine:
        return PathDepth(keyPath) >= 2 &&
               (devicePath[0] == '\0' || !IsAtOrAbove(keyPath, devicePath));
    case RegistryRoot::ClassesRoot:
        return PathDepth(keyPath) >= 1;
    default:
        return false;
    }
}

bool ToParentKey(char* keyPath)
{
    std::size_t end = TextLength(keyPath);
    while (end > 0 && keyPath[end - 1] == '\\') {
        --end;
    }
    while (end > 0 && keyPath[end - 1] != '\\') {
        --end;
    }
    while (end > 0 && keyPath[end - 1] == '\\') {
        --end;
    }
    if (end == 0) {
        return false;
    }
    keyPath[end] = '\0';
    return true;
}
