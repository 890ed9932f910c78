// Bounded text helpers: every fixed-size character slot of the program is written through
// these, so no text ever runs past its buffer.
#pragma once

#include <cstddef>
#include <initializer_list>

// Length of a NUL-terminated text.
constexpr std::size_t TextLength(const char* text)
{
    std::size_t n = 0;
    while (text[n] != '\0') {
        ++n;
    }
    return n;
}

// Appends `text` to the NUL-terminated content of `buffer` (capacity bytes in all), cutting it so
// that the result and its NUL fit. Returns true when the whole of `text` fit.
constexpr bool AppendText(char* buffer, std::size_t capacity, const char* text)
{
    if (capacity == 0) {
        return text[0] == '\0';
    }
    std::size_t used = 0;
    while (used < capacity - 1 && buffer[used] != '\0') {
        ++used;
    }
    std::size_t i = 0;
    while (text[i] != '\0' && used < capacity - 1) {
        buffer[used++] = text[i++];
    }
    buffer[used] = '\0';
    return text[i] == '\0';
}

// Copies `text` into `buffer` (capacity bytes), cut to capacity - 1 characters and always
// NUL-terminated. Returns true when the whole text fit.
constexpr bool CopyText(char* buffer, std::size_t capacity, const char* text)
{
    if (capacity == 0) {
        return text[0] == '\0';
    }
    buffer[0] = '\0';
    return AppendText(buffer, capacity, text);
}

template <std::size_t N>
constexpr bool CopyText(char (&buffer)[N], const char* text)
{
    return CopyText(buffer, N, text);
}

template <std::size_t N>
constexpr bool AppendText(char (&buffer)[N], const char* text)
{
    return AppendText(buffer, N, text);
}

// The parts one after another; false (and `out` empty) when they do not fit: a cut path would name
// another file or key.
template <std::size_t N>
constexpr bool JoinTexts(char (&out)[N], std::initializer_list<const char*> parts)
{
    out[0] = '\0';
    for (const char* part : parts) {
        if (!AppendText(out, part)) {
            out[0] = '\0';
            return false;
        }
    }
    return true;
}

// Copies the part of `text` up to `separator` (or its end) into `buffer` (capacity bytes), cut to
// fit. Returns where the next part begins: after the separator, or at the end of the text.
constexpr const char* CopyPart(char* buffer, std::size_t capacity, const char* text,
                               char separator)
{
    std::size_t n = 0;
    for (; *text != '\0' && *text != separator; ++text) {
        if (n + 1 < capacity) {
            buffer[n++] = *text;
        }
    }
    if (capacity > 0) {
        buffer[n] = '\0';
    }
    return *text == separator ? text + 1 : text;
}

template <std::size_t N>
constexpr const char* CopyPart(char (&buffer)[N], const char* text, char separator)
{
    return CopyPart(buffer, N, text, separator);
}

// ASCII upper case of one character; every other byte is kept.
constexpr char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Compares two texts without regard to ASCII case.
constexpr bool EqualsIgnoreCase(const char* a, const char* b)
{
    std::size_t i = 0;
    for (; a[i] != '\0' && b[i] != '\0'; ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) {
            return false;
        }
    }
    return a[i] == b[i];
}

// Exact comparison of two texts.
constexpr bool EqualsExactly(const char* a, const char* b)
{
    std::size_t i = 0;
    for (; a[i] != '\0' && a[i] == b[i]; ++i) {
    }
    return a[i] == b[i];
}
