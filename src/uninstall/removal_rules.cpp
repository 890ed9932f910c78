#include "uninstall/removal_rules.h"

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

bool MayDeleteEmptyKey(RegistryRoot root, const char* keyPath)
{
    switch (root) {
    case RegistryRoot::LocalMachine:
        return PathDepth(keyPath) >= 2;
    case RegistryRoot::ClassesRoot:
        return PathDepth(keyPath) >= 1;
    default:
        return false;
    }
}
