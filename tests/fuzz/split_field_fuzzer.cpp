// SplitField over arbitrary text: every field fits its buffer, every call moves on (or stands at
// the end), the walk ends, and a field that fits is exactly as long as the registry parser's
// uncut measure says.
#include <cstring>

#include "fuzz_input.h"
#include "registry/registry_line.h"
#include "script/scanners.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = TextOf(data, size);
    const char* const begin = text.c_str();
    const char* const end = begin + text.size();

    const char* p = begin;
    std::size_t calls = 0;
    for (;;) {
        char field[kFieldSize];
        std::memset(field, 'x', sizeof field);
        const std::size_t uncut = UncutFieldLength(p);
        const char* next = SplitField(p, field);
        ++calls;
        Require(next != nullptr && next >= p && next <= end);
        const std::size_t length = strnlen(field, sizeof field);
        Require(length < kFieldSize);
        Require(length == (uncut < kFieldSize ? uncut : length));
        Require(length <= kFieldSize - 1);
        // A field is never longer than the text it came from, and has no blank at either end
        // unless it is a single blank.
        Require(length <= static_cast<std::size_t>(next - p));
        if (length > 1) {
            Require(field[length - 1] != ' ');
        }
        if (next == end) {
            // At the end of the text: an empty field, the same position, each time.
            char again[kFieldSize];
            Require(SplitField(next, again) == end && again[0] == '\0');
            break;
        }
        Require(next > p);
        p = next;
    }
    Require(calls <= text.size() + 1);
    return 0;
}
