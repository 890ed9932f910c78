// Originals that an SZDD compressor and the expanders must get right: the shortest files (which
// mscompress damages), runs that reach into the window's blank fill, references that overlap
// the bytes they write, data that repeats at the window's length, data that does not compress,
// and a long text. The native tests and the Win32 test of the LZ calls share them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

struct SzddCase {
    std::string name; // 8.3, for a file that holds it
    std::vector<std::uint8_t> original;
};

inline std::vector<std::uint8_t> RandomBytes(std::size_t size, std::uint32_t seed)
{
    std::mt19937 generator(seed);
    std::vector<std::uint8_t> bytes(size);
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(generator());
    }
    return bytes;
}

inline std::vector<std::uint8_t> Repeated(const std::vector<std::uint8_t>& part, std::size_t size)
{
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < size) {
        bytes.insert(bytes.end(), part.begin(), part.end());
    }
    bytes.resize(size);
    return bytes;
}

inline std::vector<std::uint8_t> BytesOf(const std::string& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

// About 100 KB of text with the repetitions of a read-me file.
inline std::vector<std::uint8_t> SampleText()
{
    const char* words[] = {"gamepad", "driver", "Windows", "button", "calibrate", "the",
                           "setup", "joystick", "axis", "install", "control", "panel"};
    std::mt19937 generator(1998);
    std::string text;
    for (int line = 0; text.size() < 100 * 1024; ++line) {
        text += std::to_string(line) + ". ";
        for (int w = 0; w < 9; ++w) {
            text += words[generator() % std::size(words)];
            text += w == 8 ? ".\r\n" : " ";
        }
    }
    return BytesOf(text);
}

inline std::vector<SzddCase> TrickySzddCases()
{
    const std::vector<std::uint8_t> block = RandomBytes(4096, 7);
    return {
        {"EMPTY.BIN", {}},
        {"ONE.BIN", {'K'}},
        {"FIFTEEN.BIN", RandomBytes(15, 15)},
        {"SIXTEEN.BIN", BytesOf("Kestrel Gamepad!")},
        {"SAMEBYTE.BIN", std::vector<std::uint8_t>(20000, 0xA5)},
        {"BLANKS.TXT", std::vector<std::uint8_t>(5000, ' ')},
        {"RANDOM.BIN", RandomBytes(70000, 70000)},
        {"WINDOW.BIN", Repeated(block, 3 * block.size() + 100)},
        {"TEXT.TXT", SampleText()},
    };
}
