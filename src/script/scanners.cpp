#include "script/scanners.h"

#include "controller/bounded_text.h"

const char* SplitField(const char* text, char (&field)[kFieldSize])
{
    char work[kFieldSize];
    std::size_t length = 0;
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
        if (length < kFieldSize - 1) {
            work[length++] = c;
        }
    }

    // Trailing blanks go, but the first character always stays.
    while (length > 1 && work[length - 1] == ' ') {
        --length;
    }
    work[length] = '\0';
    CopyText(field, work);
    return p;
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
