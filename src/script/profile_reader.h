// A private-profile reader over a script's text held in memory: the rules of the system's
// GetPrivateProfileStringA and GetPrivateProfileIntA that the script loader relies on, so that
// code without the platform (the script checker, the tests) reads SETUP.INF as SETUP.EXE does.
//
// The rules, as the system's reader applies them:
//  - lines end at CR, LF or CR LF; blanks, tabs, the other control blanks (0x09 to 0x0D) and
//    Ctrl-Z (0x1A) around a line, a name or a value are dropped;
//  - a line that begins with "[" and holds a "]" opens a section named by the text between the
//    "[" and the LAST "]" (blanks dropped); a "[" line without "]" is an ordinary key line;
//  - any other line is a key: the name before the first "=", the value after it; a line without
//    "=" names a key that has no value, which reads as missing;
//  - section and key names match without regard to ASCII case; only the FIRST section of a name
//    is searched, and in it the FIRST key of a name;
//  - a missing section or key gives the default (trailing blanks of the default dropped); a key
//    with an empty value gives the empty text;
//  - a value (or default) enclosed in a pair of matching double or single quotes loses them;
//  - a value longer than the buffer is cut to one character less than the buffer's size;
//  - an integer is the number written at the start of the value (after blanks and one sign;
//    "0x", "0o" and "0b" select base 16, 8 and 2), read from at most 29 characters, or the
//    default when the value is missing or empty. A value without digits reads as 0.
//
// A NUL byte inside a name or a value ends that name or value; it does not end the line.
// Bytes are compared as they are: a UTF-8 byte-order mark is part of the first line, as on
// Windows 95 and 98.
#pragma once

#include <cstddef>
#include <cstdint>

// The blanks that the reader drops around lines, names and values.
constexpr bool IsProfileBlank(char c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' ';
}

enum class ProfileLineKind : std::uint8_t {
    Blank,   // nothing but blanks
    Section, // "[name]"
    Key,     // "name=value", or a line without "=" (a key without a value)
};

// One line of the text as the reader sees it.
struct ProfileLine {
    ProfileLineKind kind;
    std::size_t number;      // from 1; CR LF, a lone CR and a lone LF each end one line
    const char* text;        // the line without the blanks around it
    std::size_t textLength;
    const char* name;        // the section's or key's name, blanks around it dropped
    std::size_t nameLength;  // up to the name's first NUL
    const char* value;       // a key's value after the first "=", blanks around it dropped;
                             // null when the line has no "="
    std::size_t valueLength; // up to the value's first NUL
};

// A walk over the lines of a text.
struct ProfileScan {
    const char* position;
    const char* end;
    std::size_t lineNumber; // of the line taken last
};

constexpr ProfileScan StartProfileScan(const char* text, std::size_t length)
{
    return ProfileScan{text, text + length, 0};
}

// Takes the next line. Returns false at the end of the text.
bool NextProfileLine(ProfileScan& scan, ProfileLine& line);

// True when a name of the text (a span) is `wanted` without regard to ASCII case. Blanks around
// `wanted` are dropped first, as the reader drops them from the names it is asked for.
bool ProfileNameMatches(const char* name, std::size_t nameLength, const char* wanted);

// Finds the key line that the reader takes for `section` and `key`: in the first section of that
// name, the first key of that name. Returns false when there is none.
bool FindProfileKey(const char* text, std::size_t length, const char* section, const char* key,
                    ProfileLine& found);

// What the reader hands out for a key line that FindProfileKey found (`found`, null when it
// found none): the line's value, or `fallback` when there is no line or the line has no "=";
// quotes stripped and cut to `capacity` - 1 characters, into `out`. Returns the length.
std::size_t ReadProfileValue(const ProfileLine* found, const char* fallback, char* out,
                             std::size_t capacity);

// What the reader hands out as a number for a key line that FindProfileKey found (`found`, null
// when it found none): the number at the start of the value, or `fallback` when there is no line,
// no "=" or an empty value.
std::int32_t ReadProfileNumber(const ProfileLine* found, std::int32_t fallback);

// GetPrivateProfileStringA: the value of `key` in `section`, or `fallback`, quotes stripped and
// cut to `capacity` - 1 characters, into `out`. Returns the length of the result.
std::size_t ReadProfileString(const char* text, std::size_t length, const char* section,
                              const char* key, const char* fallback, char* out,
                              std::size_t capacity);

// GetPrivateProfileIntA: the number at the start of the value, or `fallback` when the key is
// missing, has no value or an empty one. The platform's unsigned result, taken as 32-bit signed.
std::int32_t ReadProfileInt(const char* text, std::size_t length, const char* section,
                            const char* key, std::int32_t fallback);

// The longest value that ReadProfileInt looks at: its buffer holds 30 characters.
constexpr std::size_t kProfileNumberSize = 30;
