// What the checker reports: one warning per thing that SETUP.EXE would do differently from what
// the script's author probably meant, tied to a line of the script.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace checker {

struct Diagnostic {
    std::size_t line; // from 1; 0 for the script as a whole
    std::string message;
};

using Diagnostics = std::vector<Diagnostic>;

inline void Warn(Diagnostics& out, std::size_t line, std::string message)
{
    out.push_back(Diagnostic{line, std::move(message)});
}

// A text in double quotes, as the messages show values.
std::string Quoted(std::string_view text);

// "FILE:LINE: message", or "FILE: message" for the script as a whole.
std::string FormatDiagnostic(std::string_view file, const Diagnostic& diagnostic);

// Orders the diagnostics by line, keeping the order of those on one line.
void SortByLine(Diagnostics& diagnostics);

} // namespace checker
