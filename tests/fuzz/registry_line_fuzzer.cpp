// The registry section walk and line parser over arbitrary text: every line the walk hands out
// fits, every parsed value stays inside its record, HexByte reads any field, and a line that
// writes a value has a known root, a key path that fits, and a byte count within its buffer.
#include <cstring>

#include "fuzz_input.h"
#include "registry/registry_line.h"
#include "registry/registry_section_scan.h"

namespace {

void ParseOne(const char* line)
{
    // The product name may itself be long; the device class key is one of the usual form or none.
    for (const char* deviceKey : {"MEDIA\\0000", ""}) {
        RegistryLine parsed;
        std::memset(&parsed, 0xA5, sizeof parsed);
        const bool writes = ParseRegistryLine(deviceKey, "Kestrel Gamepad %s", line, parsed);
        Require(strnlen(parsed.keyPath, sizeof parsed.keyPath) < sizeof parsed.keyPath);
        Require(strnlen(parsed.valueName, sizeof parsed.valueName) < sizeof parsed.valueName);
        if (!writes) {
            Require(parsed.fault != RegistryLineFault::None);
            continue;
        }
        Require(parsed.fault == RegistryLineFault::None);
        Require(parsed.root == RegistryRoot::LocalMachine ||
                parsed.root == RegistryRoot::ClassesRoot);
        Require(parsed.count <= kRegistryDataSize);
        if (parsed.type == kRegistryBinary) {
            Require(parsed.count >= 1);
        } else {
            Require(parsed.type == kRegistryString && parsed.count < kRegistryDataSize);
            Require(std::memchr(parsed.bytes, '\0', parsed.count) == nullptr);
        }
        const RegistryValue value = ValueOf(parsed);
        Require(value.count == parsed.count);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = TextOf(data, size);

    // The whole input as one line, as the parser may be handed it (up to 255 characters).
    ParseOne(text.substr(0, kLineSize - 1).c_str());
    // And the line whole, however long: the parser refuses lines it cannot hold.
    ParseOne(text.c_str());

    // Every field through HexByte, which must read anything.
    const char* p = text.c_str();
    while (*p != '\0') {
        char field[kFieldSize];
        p = SplitField(p, field);
        const std::uint8_t byte = HexByte(field);
        if (field[0] != '\0' && field[1] == '\0' && field[0] >= '0' && field[0] <= '9') {
            Require(byte == field[0] - '0');
        }
    }

    // The walk of the section, line by line.
    RegistrySectionScan scan = StartRegistrySectionScan(text.c_str());
    char line[kLineSize];
    bool cut = false;
    std::size_t lines = 0;
    while (NextRegistryLine(scan, line, cut)) {
        Require(++lines <= text.size());
        Require(strnlen(line, sizeof line) < kLineSize);
        Require(line[0] != '\0');
        if (!cut) {
            ParseOne(line);
        }
    }
    return 0;
}
