#include "registry/registry_line.h"

#include "base/bounded_text.h"

namespace {

constexpr char kRootClassKey[] = "HKR";
constexpr char kRootLocalMachine[] = "HKLM";
constexpr char kRootClassesRoot[] = "HKEY_CLASSES_ROOT";

// The value of one hexadecimal digit, after upper-casing: "0" to "9" count 0 to 9, every other
// character its code minus 55, so that "A" to "F" count 10 to 15.
int DigitValue(char c)
{
    const int code = static_cast<unsigned char>(AsciiUpper(c));
    return (code >= '0' && code <= '9') ? code - '0' : code - 55;
}

// Takes the next field and tells whether it came whole. SplitField cuts a long field without
// telling; a cut field would name a wrong key or value, so the caller passes such a line over.
const char* TakeField(const char* text, char (&field)[kFieldSize], bool& whole)
{
    whole = UncutFieldLength(text) < kFieldSize;
    return SplitField(text, field);
}

bool Fail(RegistryLine& out, RegistryLineFault fault)
{
    out.fault = fault;
    return false;
}

// Only these three spellings, compared exactly: no long form of HKLM, no HKCR, no other case.
RegistryRoot RootNamed(const char* name)
{
    if (EqualsExactly(name, kRootClassKey) || EqualsExactly(name, kRootLocalMachine)) {
        return RegistryRoot::LocalMachine;
    }
    return EqualsExactly(name, kRootClassesRoot) ? RegistryRoot::ClassesRoot : RegistryRoot::None;
}

// The value's type and bytes. A type flag that begins with "1" makes a binary value: the data
// field gives the first byte, each further field (from `rest`) one more, up to the first empty
// field. Anything else makes a string of the data's characters.
void FillValue(const char* typeFlag, const char* data, const char* rest, RegistryLine& out)
{
    if (typeFlag[0] != '1') {
        out.type = kRegistryString;
        const std::size_t length = TextLength(data);
        for (std::size_t i = 0; i < length; ++i) {
            out.bytes[i] = static_cast<std::uint8_t>(data[i]);
        }
        out.count = static_cast<std::uint32_t>(length);
        return;
    }
    out.type = kRegistryBinary;
    out.bytes[0] = HexByte(data);
    out.count = 1;
    char field[kFieldSize];
    rest = SplitField(rest, field);
    while (field[0] != '\0' && out.count < kRegistryDataSize) {
        out.bytes[out.count++] = HexByte(field);
        rest = SplitField(rest, field);
    }
}

// The key path: the subkey itself, or for an "HKR" line (`deviceClassKey` not null) the subkey
// below the device's class key. An empty subkey names the class key itself, which takes no
// trailing backslash.
RegistryLineFault FillKeyPath(const char* deviceClassKey, const char* subkey, RegistryLine& out)
{
    if (deviceClassKey == nullptr) {
        CopyText(out.keyPath, subkey);
        return RegistryLineFault::None;
    }
    if (deviceClassKey[0] == '\0') {
        return RegistryLineFault::NoDeviceClassKey;
    }
    bool fits = CopyText(out.keyPath, kDeviceClassRoot) && AppendText(out.keyPath, deviceClassKey);
    if (subkey[0] != '\0') {
        fits = fits && AppendText(out.keyPath, "\\") && AppendText(out.keyPath, subkey);
    }
    if (!fits) {
        out.keyPath[0] = '\0';
        return RegistryLineFault::KeyPathTooLong;
    }
    return RegistryLineFault::None;
}

} // namespace

std::uint8_t HexByte(const char* field)
{
    if (field[0] == '\0') {
        return 0;
    }
    char high = field[0];
    char low = field[1];
    if (low == '\0') {
        high = '0';
        low = field[0];
    }
    return static_cast<std::uint8_t>((DigitValue(high) * 16 + DigitValue(low)) & 0xFF);
}

bool ReplaceProductName(const char* field, const char* productName, char* out,
                        std::size_t capacity)
{
    std::size_t at = 0;
    while (field[at] != '\0' && !(field[at] == '%' && field[at + 1] == 's')) {
        ++at;
    }
    bool fits = true;
    if (field[at] == '\0') {
        fits = CopyText(out, capacity, field);
    } else {
        // The text before the "%s", the product name, and the rest after it.
        if (at >= capacity) {
            fits = false;
        } else {
            for (std::size_t i = 0; i < at; ++i) {
                out[i] = field[i];
            }
            out[at] = '\0';
            fits = AppendText(out, capacity, productName) &&
                   AppendText(out, capacity, field + at + 2);
        }
    }
    if (!fits && capacity > 0) {
        out[0] = '\0';
    }
    return fits;
}

bool ParseRegistryLine(const char* deviceClassKey, const char* productName, const char* line,
                       RegistryLine& out)
{
    out = RegistryLine{};
    out.root = RegistryRoot::None;
    out.type = kRegistryString;
    if (TextLength(line) >= kLineSize) {
        return Fail(out, RegistryLineFault::LineTooLong);
    }

    char rootName[kFieldSize];
    char subkeyField[kFieldSize];
    char typeFlag[kFieldSize];
    char dataField[kFieldSize];
    bool subkeyWhole = false;
    bool nameWhole = false;
    bool typeWhole = false;
    bool dataWhole = false;

    // A root name of any length other than the three is no root, cut or not.
    const char* p = SplitField(line, rootName);
    p = TakeField(p, subkeyField, subkeyWhole);
    p = TakeField(p, out.valueName, nameWhole);
    p = TakeField(p, typeFlag, typeWhole);
    p = TakeField(p, dataField, dataWhole);

    out.root = RootNamed(rootName);
    if (out.root == RegistryRoot::None) {
        return Fail(out, RegistryLineFault::UnknownRoot);
    }
    if (!subkeyWhole || !nameWhole || !dataWhole) {
        return Fail(out, RegistryLineFault::FieldTooLong);
    }
    if (!typeWhole || TextLength(typeFlag) >= kTypeFlagSize) {
        return Fail(out, RegistryLineFault::TypeFlagTooLong);
    }
    char subkey[kSubkeySize];
    char data[kRegistryDataSize];
    if (!ReplaceProductName(subkeyField, productName, subkey, sizeof subkey)) {
        return Fail(out, RegistryLineFault::SubkeyTooLong);
    }
    if (!ReplaceProductName(dataField, productName, data, sizeof data)) {
        return Fail(out, RegistryLineFault::DataTooLong);
    }
    FillValue(typeFlag, data, p, out);
    const RegistryLineFault keyFault =
        FillKeyPath(EqualsExactly(rootName, kRootClassKey) ? deviceClassKey : nullptr, subkey, out);
    if (keyFault != RegistryLineFault::None) {
        return Fail(out, keyFault);
    }
    out.fault = RegistryLineFault::None;
    return true;
}

RegistryValue ValueOf(const RegistryLine& line)
{
    return RegistryValue{line.valueName, line.type, line.bytes, line.count};
}
