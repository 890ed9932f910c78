// The checks of the registry section: the lines between "[REGISTRY_BEGIN]" and "[REGISTRY_END]",
// walked and parsed exactly as SETUP.EXE's registry writer walks and parses them.
#include <algorithm>
#include <set>

#include "checker/checks.h"
#include "base/bounded_text.h"
#include "install/registry_line.h"
#include "install/registry_section_scan.h"
#include "script/scanners.h"

namespace checker {

namespace {

// The device's class key that "HKR" lines write below is found at install time; the checker
// measures "HKR" key paths with one of the usual form.
constexpr char kAssumedDeviceClassKey[] = "MEDIA\\0000";

constexpr std::size_t kScriptLimit = 32768;

// Line numbers by byte offset, lines ending at CR LF, a lone CR or a lone LF.
class LineIndex {
public:
    explicit LineIndex(std::string_view text)
    {
        starts_.push_back(0);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            if (text[i] == '\r' || text[i] == '\n') {
                starts_.push_back(i + 1);
            }
        }
    }
    std::size_t LineAt(std::size_t offset) const
    {
        return static_cast<std::size_t>(
            std::upper_bound(starts_.begin(), starts_.end(), offset) - starts_.begin());
    }

private:
    std::vector<std::size_t> starts_;
};

// A line meant as a marker but not written exactly so: another case, blanks, a missing bracket,
// something after it.
bool LooksLikeMarker(std::string_view line, const char*& marker)
{
    std::string squeezed;
    for (const char c : line) {
        if (c != ' ' && c != '\t' && c != '_' && c != '-') {
            squeezed += AsciiUpper(c);
        }
    }
    if (squeezed.rfind("[REGISTRYBEGIN", 0) == 0 || squeezed == "REGISTRYBEGIN]") {
        marker = kRegistrySectionBegin;
        return true;
    }
    if (squeezed.rfind("[REGISTRYEND", 0) == 0 || squeezed == "REGISTRYEND]") {
        marker = kRegistrySectionEnd;
        return true;
    }
    return false;
}

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

// One byte field of a binary value: hexadecimal and at most two characters.
// The non-empty fields from `p` to the end of the line, joined by commas: what the line holds
// that SETUP.EXE never reads.
std::string NonEmptyFieldsFrom(const char* p)
{
    std::string rest;
    char next[kFieldSize];
    while (*p != '\0') {
        p = SplitField(p, next);
        if (next[0] != '\0') {
            rest += (rest.empty() ? "" : ",") + std::string(next);
        }
    }
    return rest;
}

void CheckByteField(const std::string& field, int number, std::size_t line, Diagnostics& out)
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

void CheckRegistryLine(const ScriptModel& model, const char* line, std::size_t number,
                       Diagnostics& out)
{
    const char* productName = model.settings.productName;
    RegistryLine parsed;
    const bool writes = ParseRegistryLine(kAssumedDeviceClassKey, productName, line, parsed);

    // The five fields as the parser takes them, and how long each would be uncut.
    static constexpr const char* kFieldNames[] = {"root", "subkey", "value name", "type flag",
                                                  "data"};
    std::string fields[5];
    std::size_t uncut[5];
    const char* p = line;
    for (int f = 0; f < 5; ++f) {
        char field[kFieldSize];
        uncut[f] = UncutFieldLength(p);
        p = SplitField(p, field);
        fields[f] = field;
    }
    const std::string& root = fields[0];

    if (!writes) {
        std::string why;
        switch (parsed.fault) {
        case RegistryLineFault::UnknownRoot:
            why = "root " + Quoted(root) + " is not one of HKR, HKLM, HKEY_CLASSES_ROOT" +
                  RootHint(root);
            break;
        case RegistryLineFault::FieldTooLong:
            for (int f = 1; f < 5; ++f) {
                if (uncut[f] >= kFieldSize && why.empty()) {
                    why = "the " + std::string(kFieldNames[f]) + " has " +
                          std::to_string(uncut[f]) + " characters, more than 127";
                }
            }
            break;
        case RegistryLineFault::TypeFlagTooLong:
            why = "the type flag has " + std::to_string(uncut[3]) + " characters, more than 39";
            break;
        case RegistryLineFault::SubkeyTooLong:
            why = "the subkey with the product name for \"%s\" has " +
                  std::to_string(Replaced(fields[1], productName).size()) +
                  " characters, more than 255";
            break;
        case RegistryLineFault::DataTooLong:
            why = "the data with the product name for \"%s\" has " +
                  std::to_string(Replaced(fields[4], productName).size()) +
                  " characters, more than 127";
            break;
        case RegistryLineFault::KeyPathTooLong:
            why = "the HKR key path (below a device key such as " +
                  std::string(kAssumedDeviceClassKey) + ") has " +
                  std::to_string(TextLength(kDeviceClassRoot) +
                                 TextLength(kAssumedDeviceClassKey) + 1 +
                                 Replaced(fields[1], productName).size()) +
                  " characters, more than 255";
            break;
        default:
            why = "SETUP.EXE cannot apply it";
            break;
        }
        Warn(out, number, "registry line: " + why + "; the line writes nothing");
        return;
    }

    if (fields[1].empty() && root != "HKR") {
        Warn(out, number,
             "registry line: the subkey is empty, so the value is written into " +
                 std::string(parsed.root == RegistryRoot::ClassesRoot ? "HKEY_CLASSES_ROOT"
                                                                      : "HKEY_LOCAL_MACHINE") +
                 " itself");
    }
    if (fields[2].find("%s") != std::string::npos) {
        Warn(out, number,
             "registry line: the value name " + Quoted(fields[2]) +
                 " holds \"%s\", which is replaced only in the subkey and the data");
    }
    for (const int f : {1, 4}) {
        if (Occurrences(fields[f], "%s") > 1) {
            Warn(out, number,
                 "registry line: the " + std::string(kFieldNames[f]) + " " + Quoted(fields[f]) +
                     " holds \"%s\" more than once; only the first is replaced");
        }
    }

    const std::string& flag = fields[3];
    if (!flag.empty() && flag != "0" && flag != "1") {
        Warn(out, number,
             "registry line: the type flag " + Quoted(flag) +
                 (flag[0] == '1' ? " makes a binary value: only its first character counts"
                                 : " makes a string value: only a flag beginning with \"1\" "
                                   "makes a binary value"));
    }

    if (parsed.type == kRegistryBinary) {
        const std::string data = Replaced(fields[4], productName);
        if (data.empty()) {
            Warn(out, number,
                 "registry line: the data field of a binary value is empty; SETUP.EXE writes "
                 "the byte 0x00 for it");
        } else {
            CheckByteField(data, 5, number, out);
        }
        int field = 6;
        std::size_t bytes = 1;
        char next[kFieldSize];
        p = SplitField(p, next);
        for (; next[0] != '\0'; ++field) {
            if (bytes == kRegistryDataSize) {
                Warn(out, number,
                     "registry line: a binary value holds at most 128 bytes; field " +
                         std::to_string(field) + " and those after it are ignored");
                break;
            }
            CheckByteField(next, field, number, out);
            ++bytes;
            p = SplitField(p, next);
        }
        if (next[0] == '\0') {
            const std::string rest = NonEmptyFieldsFrom(p);
            if (!rest.empty()) {
                Warn(out, number,
                     "registry line: field " + std::to_string(field) +
                         " is empty, which ends the binary value; " + Quoted(rest) +
                         " after it is ignored");
            }
        }
    } else if (*p != '\0') {
        const std::string rest = NonEmptyFieldsFrom(p);
        if (!rest.empty()) {
            Warn(out, number,
                 "registry line: a string value takes only field 5; " + Quoted(rest) +
                     " after it is ignored (a comma in the data needs double quotes around the "
                     "field)");
        }
    }
}

} // namespace

void CheckRegistrySection(const ScriptModel& model, Diagnostics& out)
{
    // SETUP.EXE's text ends at the end of the file or at its first NUL byte.
    const std::string text(model.text.substr(0, model.text.find('\0')));
    const LineIndex lines(text);

    // The markers: exact ones open and close, look-alikes are reported.
    std::set<std::size_t> lookAlikes;
    std::size_t lastBegin = 0;
    for (const char* position = text.c_str(); *position != '\0';) {
        char line[kLineSize];
        const char* next = ReadLine(position, line);
        const std::size_t number = lines.LineAt(static_cast<std::size_t>(position - text.c_str()));
        std::size_t length = static_cast<std::size_t>(next - position);
        if (length > 0 && (next[-1] == '\r' || next[-1] == '\n')) {
            --length;
        }
        position = next;
        if (length == 0) {
            continue;
        }
        const bool whole = length < kLineSize;
        if (whole && EqualsExactly(line, kRegistrySectionBegin)) {
            lastBegin = number;
            continue;
        }
        if (whole && EqualsExactly(line, kRegistrySectionEnd)) {
            continue;
        }
        const char* marker = nullptr;
        if (LooksLikeMarker(line, marker)) {
            lookAlikes.insert(number);
            Warn(out, number,
                 Quoted(line) + " is no marker: SETUP.EXE knows only the whole line " +
                     Quoted(marker) + ", in capitals with nothing before or after it");
        }
    }

    RegistrySectionScan scan = StartRegistrySectionScan(text.c_str());
    char line[kLineSize];
    bool cut = false;
    while (NextRegistryLine(scan, line, cut)) {
        // The walk stands just after the line's break, or at the end of the text.
        std::size_t stop = static_cast<std::size_t>(scan.position - text.c_str());
        if (stop > 0 && (text[stop - 1] == '\r' || text[stop - 1] == '\n')) {
            --stop;
        }
        std::size_t start = stop;
        while (start > 0 && text[start - 1] != '\r' && text[start - 1] != '\n') {
            --start;
        }
        const std::size_t number = lines.LineAt(start);
        if (cut) {
            Warn(out, number,
                 "registry line: the line has " + std::to_string(stop - start) +
                     " characters, more than 255; SETUP.EXE passes it over");
            continue;
        }
        if (lookAlikes.count(number) != 0) {
            continue;
        }
        CheckRegistryLine(model, line, number, out);
    }
    if (scan.open) {
        Warn(out, lastBegin,
             "\"[REGISTRY_BEGIN]\" is never closed by \"[REGISTRY_END]\": every line after it, "
             "to the end of the script, is a registry line");
    }
}

void CheckText(const ScriptModel& model, Diagnostics& out)
{
    const std::string_view text = model.text;
    if (text.size() >= kScriptLimit) {
        // Tied to the line that holds the 32768th byte, where the script crosses the limit.
        Warn(out, LineIndex(text).LineAt(kScriptLimit - 1),
             "the script reaches 32768 bytes on this line (" + std::to_string(text.size()) +
                 " bytes in all); SETUP.EXE's scanners count in 16 bits, so it must be shorter "
                 "than 32768 bytes");
    }
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) {
        Warn(out, LineIndex(text).LineAt(nul),
             "the script holds a NUL byte: SETUP.EXE's registry section ends there, and the "
             "profile reader ends the name or value there");
    }
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        Warn(out, 1,
             "the script begins with a UTF-8 byte-order mark: Windows 95 and 98 read it as part "
             "of the first line, so a section header there is not recognised; save the script "
             "as plain ANSI text");
    }
}

} // namespace checker
