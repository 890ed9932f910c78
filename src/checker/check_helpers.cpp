// Helpers that several checks share: names in messages, cut values, number keys.
#include "checker/check_helpers.h"

#include "base/bounded_text.h"
#include "script/scanners.h"

namespace checker {

namespace {

bool IsPlainDecimal(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    if (i == text.size()) {
        return false;
    }
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    return true;
}

// The exact value of a plain decimal text, saturated far beyond 32 bits.
long long DecimalValue(std::string_view text)
{
    long long value = 0;
    bool negative = false;
    for (const char c : text) {
        if (c == '-') {
            negative = true;
        } else if (c >= '0' && c <= '9' && value < (1LL << 40)) {
            value = value * 10 + (c - '0');
        }
    }
    return negative ? -value : value;
}

} // namespace

std::string SectionName(std::string_view name)
{
    return "[" + std::string(name) + "]";
}

std::string KeyName(std::string_view section, std::string_view key)
{
    return SectionName(section) + " " + std::string(key);
}

std::string Count(std::size_t n, std::string_view one, std::string_view many)
{
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

// "X "value" has N characters; SETUP.EXE keeps K ("kept")", when `kept` is shorter.
void WarnCut(Diagnostics& out, std::size_t line, const std::string& what,
             const std::string& written, const std::string& kept, std::string_view keeper,
             std::string_view note)
{
    if (written == kept) {
        return;
    }
    std::string message = what + " " + Quoted(written) + " has " +
                          Count(written.size(), "character", "characters") + "; " +
                          std::string(keeper) + " keeps " + std::to_string(kept.size()) + " (" +
                          Quoted(kept) + ")";
    if (!note.empty()) {
        message += std::string(note);
    }
    Warn(out, line, std::move(message));
}

bool IsComment(std::string_view name)
{
    return !name.empty() && name[0] == ';';
}

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) {
        c = AsciiUpper(c);
    }
    return upper;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) {
            return false;
        }
    }
    return true;
}

bool IsEightDotThree(std::string_view name)
{
    const std::size_t dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || extension.size() > 3 ||
        extension.find('.') != std::string_view::npos) {
        return false;
    }
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x21 || std::string_view("\"*+,/:;<=>?[\\]|").find(c) != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

// An integer key: present but empty, not a plain number, or too large for 32 bits.
void CheckNumberKey(Diagnostics& out, std::string_view section, std::string_view key,
                    const KeySource& source, std::int32_t fallback)
{
    const std::int32_t read = source.number;
    if (!source.hasValue) {
        return;
    }
    const std::string name = KeyName(section, key);
    const std::string& written = source.written;
    if (written.empty()) {
        Warn(out, source.line,
             name + " is empty; SETUP.EXE uses its default " + std::to_string(fallback));
        return;
    }
    if (IsPlainDecimal(written)) {
        if (DecimalValue(written) != read) {
            Warn(out, source.line,
                 name + " " + Quoted(written) + " does not fit in 32 bits; SETUP.EXE reads " +
                     std::to_string(read));
        }
        return;
    }
    std::string message = name + " " + Quoted(source.raw) +
                          " is not a plain decimal number; SETUP.EXE reads " +
                          std::to_string(read);
    if (written.find("0x") != std::string::npos || written.find("0o") != std::string::npos ||
        written.find("0b") != std::string::npos) {
        message += " (a \"0x\", \"0o\" or \"0b\" prefix is not read alike by every version of "
                   "Windows)";
    }
    Warn(out, source.line, std::move(message));
}

std::string DirectoryKeyOf(const FileRecord& record)
{
    char field[kFieldSize] = "";
    const char* next = record.source.read.c_str();
    for (int i = 0; i < 4; ++i) {
        next = SplitField(next, field);
    }
    return field;
}

} // namespace checker
