// One registry value as the program writes it: name, type, bytes and byte count. Strings are
// written without their terminating NUL, so a text of n characters counts n bytes.
#pragma once

#include <cstdint>

#include "base/bounded_text.h"

// The registry's type codes for the two kinds of value the program writes.
constexpr std::uint32_t kRegistryString = 1; // REG_SZ
constexpr std::uint32_t kRegistryBinary = 3; // REG_BINARY

struct RegistryValue {
    const char* name;
    std::uint32_t type;
    const std::uint8_t* data;
    std::uint32_t count;
};

// A string value: the text's bytes, counted without the terminating NUL.
inline RegistryValue StringValue(const char* name, const char* text)
{
    return RegistryValue{name, kRegistryString, reinterpret_cast<const std::uint8_t*>(text),
                         static_cast<std::uint32_t>(TextLength(text))};
}

// A binary value of `count` bytes.
inline RegistryValue BinaryValue(const char* name, const std::uint8_t* bytes,
                                    std::uint32_t count)
{
    return RegistryValue{name, kRegistryBinary, bytes, count};
}
