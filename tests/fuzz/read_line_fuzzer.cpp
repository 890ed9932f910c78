// ReadLine over arbitrary text: lines fit their buffer and hold no line break, every call moves
// past exactly one line, and the lines with their breaks give back the text.
#include <cstring>

#include "fuzz_input.h"
#include "script/scanners.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = TextOf(data, size);
    const char* const begin = text.c_str();
    const char* const end = begin + text.size();

    std::string rebuilt;
    const char* p = begin;
    char line[kLineSize];
    std::memset(line, 'x', sizeof line);
    for (;;) {
        char before[kLineSize];
        std::memcpy(before, line, sizeof line);
        const char* next = ReadLine(p, line);
        if (next == nullptr) {
            // Only at the end, and the output is left as it was.
            Require(p == end);
            Require(std::memcmp(before, line, sizeof line) == 0);
            break;
        }
        Require(next > p && next <= end);
        const std::size_t length = strnlen(line, sizeof line);
        Require(length < kLineSize);
        Require(std::strpbrk(line, "\r\n") == nullptr);
        // What the call moved past: the line (cut to 255 characters) and at most one break.
        std::size_t consumed = static_cast<std::size_t>(next - p);
        const bool broke = next[-1] == '\r' || next[-1] == '\n';
        if (broke) {
            --consumed;
        }
        Require(std::memchr(p, '\r', consumed) == nullptr &&
                std::memchr(p, '\n', consumed) == nullptr);
        Require(length == (consumed < kLineSize ? consumed : kLineSize - 1));
        Require(std::memcmp(line, p, length) == 0);
        rebuilt.append(p, static_cast<std::size_t>(next - p));
        p = next;
    }
    Require(rebuilt == text);
    return 0;
}
