#include "authoring/diagnostics.h"

#include <algorithm>

namespace authoring {

std::string Quoted(std::string_view text)
{
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    for (const char c : text) {
        // Control characters would garble the report; they are shown by their code.
        if (static_cast<unsigned char>(c) < 0x20) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            quoted += "\\x";
            quoted += kHex[(c >> 4) & 0x0F];
            quoted += kHex[c & 0x0F];
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

std::string FormatDiagnostic(std::string_view file, const Diagnostic& diagnostic)
{
    std::string text(file);
    if (diagnostic.line != 0) {
        text += ':';
        text += std::to_string(diagnostic.line);
    }
    text += ": ";
    text += diagnostic.message;
    return text;
}

void SortByLine(Diagnostics& diagnostics)
{
    std::stable_sort(diagnostics.begin(), diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
}

void PrintDiagnostics(std::FILE* to, std::string_view file, const Diagnostics& diagnostics)
{
    for (const Diagnostic& diagnostic : diagnostics) {
        std::fprintf(to, "%s\n", FormatDiagnostic(file, diagnostic).c_str());
    }
}

} // namespace authoring
