#include "install/restart_rename.h"

#include "controller/bounded_text.h"

namespace {

constexpr char kRenameHeader[] = "[rename]";
constexpr char kLineBreak[] = "\r\n";

constexpr bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// One line of the text: [start, end) without its line break, `next` after it.
struct TextLine {
    std::size_t start;
    std::size_t end;
    std::size_t next;
};

TextLine LineAt(const char* text, std::size_t length, std::size_t start)
{
    std::size_t end = start;
    while (end < length && text[end] != '\r' && text[end] != '\n') {
        ++end;
    }
    std::size_t next = end;
    if (next < length && text[next] == '\r') {
        ++next;
    }
    if (next < length && text[next] == '\n') {
        ++next;
    }
    return TextLine{start, end, next};
}

// The line without the blanks around it.
void Trim(const char* text, std::size_t& start, std::size_t& end)
{
    while (start < end && IsBlank(text[start])) {
        ++start;
    }
    while (end > start && IsBlank(text[end - 1])) {
        --end;
    }
}

bool IsRenameHeader(const char* text, std::size_t start, std::size_t end)
{
    constexpr std::size_t kHeaderLength = sizeof kRenameHeader - 1;
    if (end - start != kHeaderLength) {
        return false;
    }
    for (std::size_t i = 0; i < kHeaderLength; ++i) {
        if (AsciiUpper(text[start + i]) != AsciiUpper(kRenameHeader[i])) {
            return false;
        }
    }
    return true;
}

// Where the entry goes: after the last non-blank line of the first [rename] section (the header
// itself when the section is empty). False when there is no such section.
bool FindInsertPoint(const char* text, std::size_t length, TextLine& after)
{
    bool inSection = false;
    bool found = false;
    for (std::size_t at = 0; at < length;) {
        const TextLine line = LineAt(text, length, at);
        std::size_t start = line.start;
        std::size_t end = line.end;
        Trim(text, start, end);
        if (start < end && text[start] == '[') {
            if (inSection) {
                break;
            }
            inSection = IsRenameHeader(text, start, end);
        }
        if (inSection && start < end) {
            after = line;
            found = true;
        }
        at = line.next;
    }
    return found;
}

// Appends bytes to a bounded output; remembers whether everything fit.
struct Output {
    char* out;
    std::size_t capacity;
    std::size_t used;
    bool fits;

    void Put(const char* bytes, std::size_t count)
    {
        if (!fits || count >= capacity - used) {
            fits = false;
            return;
        }
        for (std::size_t i = 0; i < count; ++i) {
            out[used++] = bytes[i];
        }
    }
    void Put(const char* text) { Put(text, TextLength(text)); }
};

} // namespace

bool BuildRenameEntry(const char* target, const char* source, char* out, std::size_t capacity)
{
    if (CopyText(out, capacity, target) && AppendText(out, capacity, "=") &&
        AppendText(out, capacity, source)) {
        return true;
    }
    if (capacity > 0) {
        out[0] = '\0';
    }
    return false;
}

std::size_t AddRenameEntry(const char* text, std::size_t length, const char* entry, char* out,
                           std::size_t capacity)
{
    if (capacity == 0) {
        return 0;
    }
    Output output{out, capacity, 0, true};
    TextLine after{};
    if (FindInsertPoint(text, length, after)) {
        output.Put(text, after.next);
        if (after.next == after.end) {
            output.Put(kLineBreak); // the section's last line ended the file without a break
        }
        output.Put(entry);
        output.Put(kLineBreak);
        output.Put(text + after.next, length - after.next);
    } else {
        output.Put(text, length);
        if (length > 0 && text[length - 1] != '\n' && text[length - 1] != '\r') {
            output.Put(kLineBreak);
        }
        output.Put(kRenameHeader);
        output.Put(kLineBreak);
        output.Put(entry);
        output.Put(kLineBreak);
    }
    out[output.fits ? output.used : 0] = '\0';
    return output.fits ? output.used : 0;
}
