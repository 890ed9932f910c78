// Helpers that several checks share: names in messages, cut values, number keys.
#include "checker/check_helpers.h"

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

void CheckSixteenBits(Diagnostics& out, const std::string& name, const KeySource& source,
                      std::int16_t kept, bool lost, std::string_view consequence)
{
    const std::string read = name + " " + std::to_string(source.number);
    if (source.number != kept) {
        Warn(out, source.line,
             read + " is kept in 16 bits as " + std::to_string(kept) +
                 (lost ? ": " + std::string(consequence) : std::string()));
    } else if (kept < 0) {
        Warn(out, source.line, read + " is negative: " + std::string(consequence));
    }
}

} // namespace checker
