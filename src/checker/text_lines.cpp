#include "checker/text_lines.h"

namespace checker {

namespace {

// Where the line break that ends the line starting at `start` ends: past CR LF, CR or LF, or the
// end of the text. `end` gets where the line's own text ends.
std::size_t NextLineStart(std::string_view text, std::size_t start, std::size_t& end)
{
    end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
        end = text.size();
        return text.size();
    }
    const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    return end + (crlf ? 2 : 1);
}

} // namespace

std::vector<TextLine> SplitLines(std::string_view text)
{
    std::vector<TextLine> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = 0;
        const std::size_t next = NextLineStart(text, start, end);
        lines.push_back(TextLine{lines.size() + 1, text.substr(start, end - start)});
        start = next;
    }
    return lines;
}

std::size_t LineAt(std::string_view text, std::size_t offset)
{
    std::size_t number = 1;
    std::size_t end = 0;
    for (std::size_t start = NextLineStart(text, 0, end); start <= offset && start < text.size();
         start = NextLineStart(text, start, end)) {
        ++number;
    }
    return number;
}

} // namespace checker
