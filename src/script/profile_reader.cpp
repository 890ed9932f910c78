#include "script/profile_reader.h"

#include "base/bounded_text.h"

namespace {

// The length of a span up to its first NUL.
std::size_t UpToNul(const char* text, std::size_t length)
{
    std::size_t n = 0;
    while (n < length && text[n] != '\0') {
        ++n;
    }
    return n;
}

void TrimSpan(const char*& start, const char*& end)
{
    while (start < end && IsProfileBlank(*start)) {
        ++start;
    }
    while (end > start && IsProfileBlank(end[-1])) {
        --end;
    }
}

// Copies a value or default as the reader hands it out: a pair of matching quotes around it
// dropped, cut to capacity - 1 characters. When the quotes are dropped and the value fits, the
// closing quote is taken off the copy; when it does not fit, the cut copy loses its last
// character all the same unless the buffer is shorter than the value. Returns the length.
std::size_t CopyProfileValue(const char* value, std::size_t length, char* out,
                             std::size_t capacity)
{
    if (capacity == 0) {
        return 0;
    }
    bool quoted = false;
    if (length >= 2 && (value[0] == '"' || value[0] == '\'') && value[length - 1] == value[0]) {
        quoted = true;
        ++value;
        --length;
    }
    std::size_t copied = 0;
    while (copied < length && copied < capacity - 1) {
        out[copied] = value[copied];
        ++copied;
    }
    out[copied] = '\0';
    // The closing quote goes when the buffer held the rest of the value whole (or all but one
    // character of it). The platform's own reader takes a character off an empty copy too, in
    // front of the buffer; here an empty copy stays empty.
    if (quoted && capacity >= length && copied > 0) {
        out[--copied] = '\0';
    }
    return copied;
}

// The default as the reader takes it: trailing blanks (0x20 only) dropped, its first character
// always kept.
std::size_t FallbackLength(const char* fallback)
{
    std::size_t length = TextLength(fallback);
    while (length > 1 && fallback[length - 1] == ' ') {
        --length;
    }
    return length;
}

// A line (blanks around it dropped) that begins with "[" and holds a "]" names a section: the
// text between the "[" and the last "]". False for any other line.
bool TakeSectionHeader(const char* start, const char* stop, ProfileLine& line)
{
    if (*start != '[') {
        return false;
    }
    const char* close = stop;
    while (close > start && close[-1] != ']') {
        --close;
    }
    if (close <= start + 1) {
        return false;
    }
    // close[-1] is the last "]" of the line; the name lies between it and the "[".
    const char* nameStart = start + 1;
    const char* nameEnd = close - 1;
    TrimSpan(nameStart, nameEnd);
    line.kind = ProfileLineKind::Section;
    line.name = nameStart;
    line.nameLength = UpToNul(nameStart, static_cast<std::size_t>(nameEnd - nameStart));
    return true;
}

// A key line: the name before the first "=", the value after it, blanks around both dropped.
void TakeKeyLine(const char* start, const char* stop, ProfileLine& line)
{
    line.kind = ProfileLineKind::Key;
    const char* equals = start;
    while (equals < stop && *equals != '=') {
        ++equals;
    }
    const char* nameEnd = equals;
    if (equals < stop) {
        while (nameEnd > start && IsProfileBlank(nameEnd[-1])) {
            --nameEnd;
        }
        const char* valueStart = equals + 1;
        while (valueStart < stop && IsProfileBlank(*valueStart)) {
            ++valueStart;
        }
        line.value = valueStart;
        line.valueLength = UpToNul(valueStart, static_cast<std::size_t>(stop - valueStart));
    }
    line.name = start;
    line.nameLength = UpToNul(start, static_cast<std::size_t>(nameEnd - start));
}

// The number at the start of a text by the reader's rules (profile_reader.h), 32 bits wrapped.
std::int32_t ProfileNumber(const char* value)
{
    const auto* p = reinterpret_cast<const unsigned char*>(value);
    while (*p != '\0' && *p <= ' ') {
        ++p;
    }
    bool negative = false;
    if (*p == '+') {
        ++p;
    } else if (*p == '-') {
        negative = true;
        ++p;
    }
    std::uint32_t base = 10;
    if (p[0] == '0' && p[1] == 'b') {
        base = 2;
        p += 2;
    } else if (p[0] == '0' && p[1] == 'o') {
        base = 8;
        p += 2;
    } else if (p[0] == '0' && p[1] == 'x') {
        base = 16;
        p += 2;
    }
    std::uint32_t total = 0;
    for (;; ++p) {
        std::uint32_t digit;
        if (*p >= '0' && *p <= '9') {
            digit = *p - '0';
        } else if (*p >= 'A' && *p <= 'Z') {
            digit = *p - 'A' + 10;
        } else if (*p >= 'a' && *p <= 'z') {
            digit = *p - 'a' + 10;
        } else {
            break;
        }
        if (digit >= base) {
            break;
        }
        total = total * base + digit;
    }
    if (negative) {
        total = 0u - total;
    }
    return static_cast<std::int32_t>(total);
}

} // namespace

bool NextProfileLine(ProfileScan& scan, ProfileLine& line)
{
    if (scan.position >= scan.end) {
        return false;
    }
    const char* start = scan.position;
    const char* stop = start;
    while (stop < scan.end && *stop != '\r' && *stop != '\n') {
        ++stop;
    }
    // One line break: CR LF, or a single CR or LF.
    const char* next = stop;
    if (next < scan.end && *next == '\r') {
        ++next;
        if (next < scan.end && *next == '\n') {
            ++next;
        }
    } else if (next < scan.end) {
        ++next;
    }
    scan.position = next;
    ++scan.lineNumber;

    TrimSpan(start, stop);
    line = ProfileLine{};
    line.number = scan.lineNumber;
    line.text = start;
    line.textLength = static_cast<std::size_t>(stop - start);
    if (start == stop) {
        line.kind = ProfileLineKind::Blank;
    } else if (!TakeSectionHeader(start, stop, line)) {
        TakeKeyLine(start, stop, line);
    }
    return true;
}

bool ProfileNameMatches(const char* name, std::size_t nameLength, const char* wanted)
{
    const char* wantedEnd = wanted + TextLength(wanted);
    TrimSpan(wanted, wantedEnd);
    if (static_cast<std::size_t>(wantedEnd - wanted) != nameLength) {
        return false;
    }
    for (std::size_t i = 0; i < nameLength; ++i) {
        if (AsciiUpper(name[i]) != AsciiUpper(wanted[i])) {
            return false;
        }
    }
    return true;
}

bool FindProfileKey(const char* text, std::size_t length, const char* section, const char* key,
                    ProfileLine& found)
{
    // Lines before the first section header belong to a section without a name, which is always
    // the first of its name.
    const char* sectionEnd = section + TextLength(section);
    const char* sectionStart = section;
    TrimSpan(sectionStart, sectionEnd);
    bool searching = sectionStart == sectionEnd; // inside the first section of that name
    bool seenSection = searching;

    ProfileScan scan = StartProfileScan(text, length);
    ProfileLine line;
    while (NextProfileLine(scan, line)) {
        if (line.kind == ProfileLineKind::Section) {
            if (searching) {
                return false; // the first section of the name has ended without the key
            }
            if (!seenSection && ProfileNameMatches(line.name, line.nameLength, section)) {
                searching = true;
                seenSection = true;
            }
            continue;
        }
        if (searching && line.kind == ProfileLineKind::Key &&
            ProfileNameMatches(line.name, line.nameLength, key)) {
            found = line;
            return true;
        }
    }
    return false;
}

std::size_t ReadProfileValue(const ProfileLine* found, const char* fallback, char* out,
                             std::size_t capacity)
{
    if (found != nullptr && found->value != nullptr) {
        return CopyProfileValue(found->value, found->valueLength, out, capacity);
    }
    return CopyProfileValue(fallback, FallbackLength(fallback), out, capacity);
}

std::size_t ReadProfileString(const char* text, std::size_t length, const char* section,
                              const char* key, const char* fallback, char* out,
                              std::size_t capacity)
{
    ProfileLine line;
    const bool found = FindProfileKey(text, length, section, key, line);
    return ReadProfileValue(found ? &line : nullptr, fallback, out, capacity);
}

std::int32_t ReadProfileNumber(const ProfileLine* found, std::int32_t fallback)
{
    char value[kProfileNumberSize];
    if (ReadProfileValue(found, "", value, sizeof value) == 0) {
        return fallback;
    }
    return ProfileNumber(value);
}

std::int32_t ReadProfileInt(const char* text, std::size_t length, const char* section,
                            const char* key, std::int32_t fallback)
{
    ProfileLine line;
    const bool found = FindProfileKey(text, length, section, key, line);
    return ReadProfileNumber(found ? &line : nullptr, fallback);
}
