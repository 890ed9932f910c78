#include "script/install_locations.h"

#include "base/bounded_text.h"
#include "script/script_rules.h"

namespace {

// Joins up to four parts into `out`; false (and an empty text) when the whole does not fit.
bool JoinPath(char* out, std::size_t capacity, const char* a, const char* b, const char* c = "",
              const char* d = "", const char* e = "")
{
    const bool fits = CopyText(out, capacity, a) && AppendText(out, capacity, b) &&
                      AppendText(out, capacity, c) && AppendText(out, capacity, d) &&
                      AppendText(out, capacity, e);
    if (!fits && capacity > 0) {
        out[0] = '\0';
    }
    return fits;
}

// True when the character may stand in a short file name.
bool IsShortNameCharacter(char c)
{
    constexpr char kRefused[] = "\"*+,/:;<=>?[\\]|";
    if (static_cast<unsigned char>(c) < 0x21) {
        return false;
    }
    for (const char refused : kRefused) {
        if (c == refused) {
            return false;
        }
    }
    return true;
}

} // namespace

bool IsShortFileName(const char* name)
{
    std::size_t base = 0;
    std::size_t extension = 0;
    bool dot = false;
    for (const char* c = name; *c != '\0'; ++c) {
        if (*c == '.' && !dot) {
            dot = true;
        } else if (*c == '.' || !IsShortNameCharacter(*c)) {
            return false;
        } else {
            ++(dot ? extension : base);
        }
    }
    return base >= 1 && base <= 8 && extension <= 3;
}

bool IsCopiedRecord(const FileEntry& entry)
{
    return entry.sourceName[0] != '\0' && entry.targetName[0] != '\0' &&
           StaysInsideFolder(entry.sourceName) && StaysInsideFolder(entry.targetName) &&
           (entry.absoluteTarget != 0 || StaysInsideFolder(entry.targetDir));
}

bool IsMadeSubdirectory(const char* name)
{
    return name[0] != '\0' && StaysInsideFolder(name);
}

bool BuildSourcePath(const char* sourceDir, const FileEntry& entry, char* out, std::size_t capacity)
{
    return JoinPath(out, capacity, sourceDir, "\\", entry.sourceName);
}

bool BuildTargetPath(const char* destDir, const FileEntry& entry, char* out, std::size_t capacity)
{
    if (entry.absoluteTarget != 0) {
        return JoinPath(out, capacity, entry.targetDir, "\\", entry.targetName);
    }
    return JoinPath(out, capacity, destDir, "\\", entry.targetDir, "\\", entry.targetName);
}

bool BuildSubdirectoryPath(const char* destDir, const char* name, char* out, std::size_t capacity)
{
    return JoinPath(out, capacity, destDir, "\\", name);
}

void CollapseBackslashes(char* path)
{
    std::size_t to = 0;
    for (std::size_t from = 0; path[from] != '\0'; ++from) {
        if (path[from] != '\\' || to == 0 || path[to - 1] != '\\') {
            path[to++] = path[from];
        }
    }
    path[to] = '\0';
}

void NormaliseFolder(char* path)
{
    CollapseBackslashes(path);
    std::size_t length = TextLength(path);
    if (length > 1 && path[length - 1] == '\\' && path[length - 2] != ':') {
        path[length - 1] = '\0';
    }
}

bool PathIsAtOrBelow(const char* path, const char* folder)
{
    std::size_t length = TextLength(folder);
    while (length > 0 && folder[length - 1] == '\\') {
        --length;
    }
    std::size_t i = 0;
    for (; i < length; ++i) {
        if (AsciiUpper(path[i]) != AsciiUpper(folder[i])) {
            return false;
        }
    }
    return path[i] == '\0' || path[i] == '\\';
}
