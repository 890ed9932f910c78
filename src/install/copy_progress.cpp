#include "install/copy_progress.h"

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

constexpr char kEllipsis[] = "...";
constexpr char kSeparator[] = ", ";

} // namespace

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

bool BuildSubdirectoryPath(const char* destDir, const char* name, char* out, std::size_t capacity)
{
    return JoinPath(out, capacity, destDir, "\\", name);
}

std::int16_t PercentDone(int index, int fileCount)
{
    if (fileCount <= 0) {
        return 0;
    }
    return static_cast<std::int16_t>((100 * (index + 1)) / fileCount);
}

void BuildStatusText(const char* copying, const FileEntry& entry, char* out, std::size_t capacity)
{
    CopyText(out, capacity, copying);
    AppendText(out, capacity, entry.sourceName);
    AppendText(out, capacity, "\n\n");
    AppendText(out, capacity, entry.description);
}

PixelRect GaugeFill(const PixelRect& control, int percent)
{
    // The control's rectangle shrunk by two pixels and moved up and left by one, then cut to the
    // percentage of its width plus one.
    PixelRect fill{control.left + 1, control.top + 1, control.right - 3, control.bottom - 3};
    fill.right = fill.left + (percent * (fill.right - fill.left + 1)) / 100;
    return fill;
}

bool GaugeFillColour(unsigned fillCode, std::uint32_t& colour)
{
    constexpr std::uint32_t kColours[] = {
        0x0000FF00, // (0, 255, 0)
        0x0000FFFF, // (255, 255, 0)
        0x000000FF, // (255, 0, 0)
        0x00008000, // (0, 128, 0)
        0x00008080, // (128, 128, 0)
        0x00000080, // (128, 0, 0)
        0x00808000, // (0, 128, 128)
    };
    const unsigned code = fillCode & 0xFFFF;
    if (code < 100 || code > 106) {
        return false;
    }
    colour = kColours[code - 100];
    return true;
}

void AddFailedName(char* list, std::size_t capacity, const char* name)
{
    const std::size_t length = TextLength(list);
    if (length >= 3 && EqualsExactly(list + length - 3, kEllipsis)) {
        return;
    }
    // Room is kept for a final separator and "..." after any name.
    const std::size_t reserve = sizeof kSeparator - 1 + sizeof kEllipsis - 1;
    const std::size_t needed = (length > 0 ? sizeof kSeparator - 1 : 0) + TextLength(name);
    if (capacity > reserve && length + needed < capacity - reserve) {
        if (length > 0) {
            AppendText(list, capacity, kSeparator);
        }
        AppendText(list, capacity, name);
        return;
    }
    if (length > 0) {
        AppendText(list, capacity, kSeparator);
    }
    AppendText(list, capacity, kEllipsis);
}
