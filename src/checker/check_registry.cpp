// The checks of the registry section: each line between "[REGISTRY_BEGIN]" and "[REGISTRY_END]"
// as SETUP.EXE's registry writer parses it (checker/registry_model.h).
#include "base/bounded_text.h"
#include "base/file_table.h"
#include "checker/check_helpers.h"
#include "checker/registry_model.h"

namespace checker {

namespace {

constexpr const char* kFieldNames[kRegistryFields] = {"root", "subkey", "value name",
                                                      "type flag", "data"};

// With the product name that the loader reads (31 characters at most), a subkey field never
// grows past the subkey's 255 characters, nor an "HKR" key path past 255; and a line that SETUP.EXE
// reads (255 characters) has no room for more bytes than a binary value holds. So the parser's
// SubkeyTooLong and KeyPathTooLong, and its cut after 128 bytes, never arise here.
constexpr std::size_t kLongestReplaced = kFieldSize - 1 - 2 + kProductNameReadSize - 1;
static_assert(kLongestReplaced < kSubkeySize);
static_assert(TextLength(kDeviceClassRoot) + TextLength(kAssumedDeviceClassKey) + 1 +
                  kLongestReplaced < kRegistryKeyPathSize);
static_assert(TextLength("HKR,,,1,") + 2 * kRegistryDataSize + 1 > kLineSize - 1);

std::string RootHint(const std::string& root)
{
    if (EqualsNoCase(root, "HKCR") || EqualsNoCase(root, "HKEY_CLASSES_ROOT")) {
        return " (write \"HKEY_CLASSES_ROOT\", in capitals)";
    }
    if (EqualsNoCase(root, "HKEY_LOCAL_MACHINE") || EqualsNoCase(root, "HKLM")) {
        return " (write \"HKLM\", in capitals)";
    }
    if (EqualsNoCase(root, "HKR")) {
        return " (write \"HKR\", in capitals)";
    }
    if (EqualsNoCase(root, "HKCU") || EqualsNoCase(root, "HKEY_CURRENT_USER") ||
        EqualsNoCase(root, "HKU") || EqualsNoCase(root, "HKEY_USERS")) {
        return " (SETUP.EXE writes below HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT only)";
    }
    if (!root.empty() && root[0] == ';') {
        return " (the registry section has no comments)";
    }
    return "";
}

std::size_t Occurrences(std::string_view text, std::string_view what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos;
         at = text.find(what, at + what.size())) {
        ++n;
    }
    return n;
}

// A field with its "%s" replaced by the product name, uncut.
std::string Replaced(const std::string& field, const char* productName)
{
    std::string out(1024, '\0');
    ReplaceProductName(field.c_str(), productName, out.data(), out.size());
    out.resize(TextLength(out.c_str()));
    return out;
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::string Hex(std::uint8_t byte)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[byte >> 4] + kDigits[byte & 0x0F];
}

// The non-empty fields from `first` (from 0) on, joined by commas: what the line holds that
// SETUP.EXE never reads.
std::string NonEmptyFieldsFrom(const std::vector<LineField>& fields, std::size_t first)
{
    std::string rest;
    for (std::size_t f = first; f < fields.size(); ++f) {
        if (!fields[f].text.empty()) {
            rest += (rest.empty() ? "" : ",") + fields[f].text;
        }
    }
    return rest;
}

// Why the parser takes nothing from the line.
std::string WhyNothingIsWritten(const ScriptModel& model, const RegistryEntry& entry)
{
    const auto& fields = entry.fields;
    const char* productName = model.settings.productName;
    switch (entry.parsed.fault) {
    case RegistryLineFault::UnknownRoot:
        return "root " + Quoted(fields[kRootField].text) +
               " is not one of HKR, HKLM, HKEY_CLASSES_ROOT" + RootHint(fields[kRootField].text);
    case RegistryLineFault::FieldTooLong:
        for (std::size_t f = kSubkeyField; f < kRegistryFields; ++f) {
            if (fields[f].uncut >= kFieldSize) {
                return "the " + std::string(kFieldNames[f]) + " has " +
                       std::to_string(fields[f].uncut) + " characters, more than 127";
            }
        }
        break;
    case RegistryLineFault::TypeFlagTooLong:
        return "the type flag has " + std::to_string(fields[kTypeField].uncut) +
               " characters, more than 39";
    case RegistryLineFault::DataTooLong:
        return "the data with the product name for \"%s\" has " +
               std::to_string(Replaced(fields[kDataField].text, productName).size()) +
               " characters, more than 127";
    default:
        break;
    }
    return "SETUP.EXE cannot apply it";
}

// The subkey, the value name and "%s" in them.
void CheckNames(const RegistryEntry& entry, Diagnostics& out)
{
    const auto& fields = entry.fields;
    if (fields[kSubkeyField].text.empty() && fields[kRootField].text != "HKR") {
        Warn(out, entry.line,
             "registry line: the subkey is empty, so the value is written into " +
                 std::string(entry.parsed.root == RegistryRoot::ClassesRoot
                                 ? "HKEY_CLASSES_ROOT"
                                 : "HKEY_LOCAL_MACHINE") +
                 " itself");
    }
    if (fields[kNameField].text.find("%s") != std::string::npos) {
        Warn(out, entry.line,
             "registry line: the value name " + Quoted(fields[kNameField].text) +
                 " holds \"%s\", which is replaced only in the subkey and the data");
    }
    for (const std::size_t f : {kSubkeyField, kDataField}) {
        if (Occurrences(fields[f].text, "%s") > 1) {
            Warn(out, entry.line,
                 "registry line: the " + std::string(kFieldNames[f]) + " " +
                     Quoted(fields[f].text) + " holds \"%s\" more than once; only the first is "
                                             "replaced");
        }
    }
}

void CheckTypeFlag(const RegistryEntry& entry, Diagnostics& out)
{
    const std::string& flag = entry.fields[kTypeField].text;
    if (!flag.empty() && flag != "0" && flag != "1") {
        Warn(out, entry.line,
             "registry line: the type flag " + Quoted(flag) +
                 (flag[0] == '1' ? " makes a binary value: only its first character counts"
                                 : " makes a string value: only a flag beginning with \"1\" "
                                   "makes a binary value"));
    }
}

// One byte field of a binary value (`number` from 1): hexadecimal and at most two characters.
void CheckByteField(const std::string& field, std::size_t number, std::size_t line,
                    Diagnostics& out)
{
    const std::string what = "registry line: byte " + Quoted(field) + " (field " +
                             std::to_string(number) + ")";
    bool hex = true;
    for (std::size_t i = 0; i < field.size() && i < 2; ++i) {
        hex = hex && IsHexDigit(field[i]);
    }
    if (!hex) {
        Warn(out, line,
             what + " is not hexadecimal; SETUP.EXE reads it as " + Hex(HexByte(field.c_str())));
    } else if (field.size() > 2) {
        Warn(out, line,
             what + " has more than two digits; SETUP.EXE reads it as " +
                 Hex(HexByte(field.c_str())) + " and ignores the rest");
    }
}

// The bytes of a binary value: the data field and the fields after it, up to an empty one.
void CheckBinaryData(const ScriptModel& model, const RegistryEntry& entry, Diagnostics& out)
{
    const auto& fields = entry.fields;
    const std::string data = Replaced(fields[kDataField].text, model.settings.productName);
    if (data.empty()) {
        Warn(out, entry.line,
             "registry line: the data field of a binary value is empty; SETUP.EXE writes the "
             "byte 0x00 for it");
    } else {
        CheckByteField(data, kDataField + 1, entry.line, out);
    }
    std::size_t f = kDataField + 1;
    for (; f < fields.size() && !fields[f].text.empty(); ++f) {
        CheckByteField(fields[f].text, f + 1, entry.line, out);
    }
    const std::string rest = NonEmptyFieldsFrom(fields, f + 1);
    if (!rest.empty()) {
        Warn(out, entry.line,
             "registry line: field " + std::to_string(f + 1) +
                 " is empty, which ends the binary value; " + Quoted(rest) +
                 " after it is ignored");
    }
}

void CheckRegistryEntry(const ScriptModel& model, const RegistryEntry& entry, Diagnostics& out)
{
    if (entry.cut) {
        Warn(out, entry.line,
             "registry line: the line has " + std::to_string(entry.length) +
                 " characters, more than 255; SETUP.EXE passes it over");
        return;
    }
    if (!entry.writes) {
        Warn(out, entry.line,
             "registry line: " + WhyNothingIsWritten(model, entry) + "; the line writes nothing");
        return;
    }
    CheckNames(entry, out);
    CheckTypeFlag(entry, out);
    if (entry.parsed.type == kRegistryBinary) {
        CheckBinaryData(model, entry, out);
        return;
    }
    const std::string rest = NonEmptyFieldsFrom(entry.fields, kRegistryFields);
    if (!rest.empty()) {
        Warn(out, entry.line,
             "registry line: a string value takes only field 5; " + Quoted(rest) +
                 " after it is ignored (a comma in the data needs double quotes around the "
                 "field)");
    }
}

} // namespace

void CheckRegistrySection(const ScriptModel& model, Diagnostics& out)
{
    const RegistrySection section = ReadRegistrySection(model);
    for (const MarkerLookAlike& line : section.lookAlikes) {
        Warn(out, line.line,
             Quoted(line.text) + " is no marker: SETUP.EXE knows only the whole line " +
                 Quoted(line.marker) + ", in capitals with nothing before or after it");
    }
    for (const RegistryEntry& entry : section.entries) {
        CheckRegistryEntry(model, entry, out);
    }
    if (section.neverClosed) {
        Warn(out, section.lastBegin,
             "\"[REGISTRY_BEGIN]\" is never closed by \"[REGISTRY_END]\": every line after it, "
             "to the end of the script, is a registry line");
    }
}

} // namespace checker
