// Helpers that several checks share (checks.h declares those that other parts use too).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "checker/checks.h"

namespace checker {

// "[section] key".
std::string KeyName(std::string_view section, std::string_view key);

// "1 file" or "N files".
std::string Count(std::size_t n, std::string_view one, std::string_view many);

// "X "written" has N characters; KEEPER keeps K ("kept")" and the note, when `kept` is not
// `written`.
void WarnCut(Diagnostics& out, std::size_t line, const std::string& what,
             const std::string& written, const std::string& kept, std::string_view keeper,
             std::string_view note = {});

// A key line whose name begins with ";".
bool IsComment(std::string_view name);

// ASCII upper case.
std::string Upper(std::string_view text);

// The directory key that a file record's line names (its fourth field), as the loader splits it.
std::string DirectoryKeyOf(const FileRecord& record);

// An integer key: present but empty, not a plain number, or too large for 32 bits.
void CheckNumberKey(Diagnostics& out, std::string_view section, std::string_view key,
                    const KeySource& source, std::int32_t fallback);

} // namespace checker
