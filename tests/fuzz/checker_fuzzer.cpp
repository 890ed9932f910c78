// The script checker over an arbitrary script, with a medium whose compressed files are the
// input itself: it must report without crashing, every warning tied to a line of the text.
#include <algorithm>

#include "checker/checker.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checker::CheckOptions options;
    options.medium.layout = checker::MediumLayout::Medium;
    options.medium.folder = "medium";
    options.medium.read = [data, size](const std::string& name)
        -> std::optional<std::vector<std::uint8_t>> {
        if (name.empty() || name.back() != '_') {
            return std::nullopt;
        }
        return std::vector<std::uint8_t>(data, data + size);
    };
    const checker::CheckReport report = checker::CheckScript(text, options);

    const std::size_t lines =
        1 + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) +
        static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r'));
    for (const checker::Diagnostic& diagnostic : report.diagnostics) {
        Require(diagnostic.line <= lines);
        Require(!diagnostic.message.empty());
    }
    Require(report.diskCount >= 0 && report.diskCount <= kMaxDisks);
    return 0;
}
