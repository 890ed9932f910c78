// Names and texts as the disk author's tools compare them: ASCII case ignored, as the profile
// reader and the FAT file system ignore it.
#pragma once

#include <string>
#include <string_view>

namespace authoring {

bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// ASCII upper case.
std::string Upper(std::string_view text);

// A name that a file system without long names holds: at most 8 characters, a dot and at most
// 3, none of them a blank, a control character or one of the characters FAT refuses.
bool IsEightDotThree(std::string_view name);

} // namespace authoring
