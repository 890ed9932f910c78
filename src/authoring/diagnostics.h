// What the disk author's tools report about a script: messages tied to its lines, shown as
// "FILE:LINE: message".
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace authoring {

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

// Writes each diagnostic of the script `file` to `to` on a line of its own.
void PrintDiagnostics(std::FILE* to, std::string_view file, const Diagnostics& diagnostics);

} // namespace authoring
