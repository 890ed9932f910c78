#include "authoring/names.h"

#include "base/bounded_text.h"
#include "script/install_locations.h"

namespace authoring {

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

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) {
        c = AsciiUpper(c);
    }
    return upper;
}

bool IsEightDotThree(std::string_view name)
{
    return name.find('\0') == std::string_view::npos && IsShortFileName(std::string(name).c_str());
}

} // namespace authoring
