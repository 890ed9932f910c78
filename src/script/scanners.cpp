#include "script/scanners.h"

#include "base/bounded_text.h"

namespace {

// Walks one comma-separated field from `text`, handing each character the field keeps (before any
// cut or trim) to `keep`. Returns the position just after the comma that ended the field, or the
// position of the terminating NUL.
template <typename Keep>
const char* WalkField(const char* text, Keep keep)
{
    bool leading = true;    // still before the field's first character
    bool separating = true; // a comma ends the field (off inside a quoted part)

    const char* p = text;
    for (; *p != '\0'; ++p) {
        const char c = *p;
        if (c == ',' && separating) {
            ++p;
            break;
        }
        if (leading) {
            if (c == ' ') {
                continue;
            }
            leading = false;
            if (c == '"') {
                separating = false;
                continue;
            }
        } else if (c == '"') {
            separating = true;
            continue;
        }
        keep(c);
    }
    return p;
}

} // namespace

const char* SplitField(const char* text, char (&field)[kFieldSize])
{
    char work[kFieldSize];
    std::size_t length = 0;
    const char* next = WalkField(text, [&](char c) {
        if (length < kFieldSize - 1) {
            work[length++] = c;
        }
    });

    // Trailing blanks go, but the first character always stays.
    while (length > 1 && work[length - 1] == ' ') {
        --length;
    }
    work[length] = '\0';
    CopyText(field, work);
    return next;
}

std::size_t UncutFieldLength(const char* text)
{
    std::size_t stored = 0;
    std::size_t kept = 0; // up to the last non-blank character
    WalkField(text, [&](char c) {
        ++stored;
        if (c != ' ') {
            kept = stored;
        }
    });
    return (kept == 0 && stored > 0) ? 1 : kept;
}

const char* ReadLine(const char* text, char (&line)[kLineSize])
{
    if (*text == '\0') {
        return nullptr;
    }
    char work[kLineSize];
    std::size_t length = 0;
    const char* p = text;
    for (; *p != '\0'; ++p) {
        if (*p == '\r' || *p == '\n') {
            ++p;
            break;
        }
        if (length < kLineSize - 1) {
            work[length++] = *p;
        }
    }
    work[length] = '\0';
    CopyText(line, work);
    return p;
}
