// The lines of the setup script's registry section: one value per line, as comma-separated
// fields
//
//     root, subkey, value name, type flag, data[, further bytes...]
//
// The root is "HKR" (the device's class key), "HKLM" or "HKEY_CLASSES_ROOT". A type flag that
// begins with "1" makes a binary value of hexadecimal pairs; anything else a string. "%s" in the
// subkey or the data stands for the product name.
//
// Parsing needs no registry: it gives the root, the key path below it and the value's name,
// type, bytes and byte count, or the reason why the line writes nothing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "registry/registry_value.h"
#include "script/scanners.h"

constexpr std::size_t kTypeFlagSize = 40;          // 39 characters
constexpr std::size_t kValueNameSize = kFieldSize; // 127 characters
constexpr std::size_t kSubkeySize = 256;           // subkey after "%s" is replaced: 255
constexpr std::size_t kRegistryDataSize = 128;     // data after "%s" is replaced: 127; at most
                                                   // 128 bytes of a binary value
constexpr std::size_t kRegistryKeyPathSize = 256;  // whole key path, "HKR" paths included
constexpr std::size_t kDeviceClassKeySize = 80;    // device class key: 79 characters

// Where the class keys of the devices live, below HKEY_LOCAL_MACHINE.
inline constexpr char kDeviceClassRoot[] = "System\\CurrentControlSet\\Services\\Class\\";

enum class RegistryRoot : std::uint8_t {
    None,
    LocalMachine, // "HKR" and "HKLM"
    ClassesRoot,  // "HKEY_CLASSES_ROOT"
};

// Why a line writes nothing.
enum class RegistryLineFault : std::uint8_t {
    None,
    LineTooLong,      // more than 255 characters
    UnknownRoot,      // not one of the three root names (no comment syntax: such lines are
                      // passed over)
    FieldTooLong,     // the subkey, value name or data field has more than 127 characters
    TypeFlagTooLong,  // 40 characters or more
    SubkeyTooLong,    // more than 255 characters once "%s" is replaced
    DataTooLong,      // more than 127 characters once "%s" is replaced
    NoDeviceClassKey, // an "HKR" line, but no device class key is known
    KeyPathTooLong,   // the "HKR" key path has more than 255 characters
};

struct RegistryLine {
    RegistryRoot root;
    char keyPath[kRegistryKeyPathSize];
    char valueName[kValueNameSize]; // empty: the key's unnamed default value
    std::uint32_t type;             // kRegistryString or kRegistryBinary
    std::uint8_t bytes[kRegistryDataSize];
    std::uint32_t count;            // strings: their length, without the NUL
    RegistryLineFault fault;
};

// One byte from a field of hexadecimal digits: the first two characters, or "0" and the only
// one. Letters count in either case; nothing is validated, so any character counts by its code
// ("G" counts 16) and the result is taken modulo 256. An empty field gives 0.
std::uint8_t HexByte(const char* field);

// Copies `field` to `out`, with its first "%s" replaced by `productName`. A field that holds no
// "%s" is copied as it is, a lone "%" included. Returns false (and leaves `out` empty) when the
// result does not fit in `capacity` bytes.
bool ReplaceProductName(const char* field, const char* productName, char* out,
                        std::size_t capacity);

// Parses one registry line into `out`. `deviceClassKey` is the device's key below
// kDeviceClassRoot, used by "HKR" lines (empty when none is known). Returns true when the line
// writes a value; otherwise false, with the reason in `out.fault`.
bool ParseRegistryLine(const char* deviceClassKey, const char* productName, const char* line,
                       RegistryLine& out);

// The value that a parsed line writes.
RegistryValue ValueOf(const RegistryLine& line);
