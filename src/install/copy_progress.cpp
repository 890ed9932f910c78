#include "install/copy_progress.h"

#include "base/bounded_text.h"

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
