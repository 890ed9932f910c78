#include "checker/registry_model.h"

#include <algorithm>

#include "base/bounded_text.h"
#include "checker/text_lines.h"
#include "registry/registry_section_scan.h"

namespace checker {

namespace {

// A line meant as a marker but not written exactly so: another case, blanks, a missing bracket,
// something after it. Gives the marker it seems meant as, or null.
const char* MeantMarker(std::string_view line)
{
    std::string squeezed;
    for (const char c : line) {
        if (c != ' ' && c != '\t' && c != '_' && c != '-') {
            squeezed += AsciiUpper(c);
        }
    }
    if (squeezed.rfind("[REGISTRYBEGIN", 0) == 0 || squeezed == "REGISTRYBEGIN]") {
        return kRegistrySectionBegin;
    }
    if (squeezed.rfind("[REGISTRYEND", 0) == 0 || squeezed == "REGISTRYEND]") {
        return kRegistrySectionEnd;
    }
    return nullptr;
}

RegistryEntry ParseEntry(const ScriptModel& model, std::size_t number, std::size_t length,
                         const char* read, bool cut)
{
    RegistryEntry entry;
    entry.line = number;
    entry.length = length;
    entry.cut = cut;
    if (cut) {
        return entry;
    }
    entry.fields = SplitFields(read);
    entry.fields.resize(std::max(entry.fields.size(), kRegistryFields));
    entry.writes = ParseRegistryLine(kAssumedDeviceClassKey, model.settings.productName, read,
                                     entry.parsed);
    return entry;
}

} // namespace

RegistrySection ReadRegistrySection(const ScriptModel& model)
{
    RegistrySection section;
    const std::string_view text = model.text.substr(0, model.text.find('\0'));
    bool open = false;
    for (const TextLine& line : SplitLines(text)) {
        if (line.text.empty()) {
            continue;
        }
        // SETUP.EXE's own walk, over this line alone, says whether it is a line of the section
        // and keeps the section's state.
        const std::string whole(line.text);
        RegistrySectionScan scan{whole.c_str(), open};
        char read[kLineSize];
        bool cut = false;
        const bool isEntry = NextRegistryLine(scan, read, cut);
        open = scan.open;
        const bool marker = whole == kRegistrySectionBegin || whole == kRegistrySectionEnd;
        const char* meant = marker ? nullptr : MeantMarker(whole.substr(0, kLineSize - 1));
        if (meant != nullptr) {
            section.lookAlikes.push_back({line.number, whole.substr(0, kLineSize - 1), meant});
        } else if (isEntry) {
            section.entries.push_back(ParseEntry(model, line.number, whole.size(), read, cut));
        } else if (open) {
            section.lastBegin = line.number;
        }
    }
    section.neverClosed = open;
    return section;
}

} // namespace checker
