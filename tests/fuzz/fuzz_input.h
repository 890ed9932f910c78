// The fuzzers' input as the program's scanners see text: NUL-terminated, ending at the first NUL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

inline std::string TextOf(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    text.resize(text.find('\0') == std::string::npos ? size : text.find('\0'));
    return text;
}

// A broken property is a fault: stop at once, so that libFuzzer keeps the input.
inline void Require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}
