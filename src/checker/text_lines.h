// The lines of the script's text as an editor numbers them: a line ends at CR LF, a lone CR or a
// lone LF. SETUP.EXE's line scanner ends a line at a CR or an LF alone, so that CR LF leaves an
// empty line between, which it passes over: the lines that are not empty are the same.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace checker {

struct TextLine {
    std::size_t number = 0; // from 1
    std::string_view text;  // without its line break
};

std::vector<TextLine> SplitLines(std::string_view text);

// The number of the line that holds the byte at `offset` of `text`.
std::size_t LineAt(std::string_view text, std::size_t offset);

} // namespace checker
