// Helpers that several checks share: names in messages, cut values, number keys.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "checker/checks.h"

namespace checker {

// What SETUP.EXE does with a file record that it will not copy.
inline constexpr char kReportedNotCopied[] = "reports the file as not copied";

// "[name]".
std::string SectionName(std::string_view name);

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

// An integer key: present but empty, not a plain number, or too large for 32 bits.
void CheckNumberKey(Diagnostics& out, std::string_view section, std::string_view key,
                    const KeySource& source, std::int32_t fallback);

// An integer key that SETUP.EXE keeps in 16 bits as `kept`: a value that does not fit, or a
// negative one. `consequence` follows when the value is lost: `lost` for one that did not fit,
// always for a negative one.
void CheckSixteenBits(Diagnostics& out, const std::string& name, const KeySource& source,
                      std::int16_t kept, bool lost, std::string_view consequence);

} // namespace checker
