#include "script/profile_index.h"

#include <unordered_set>

#include "base/bounded_text.h"

namespace {

// A name as the reader compares names: ASCII case ignored.
void AppendUpper(std::string& out, const char* name, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        out += AsciiUpper(name[i]);
    }
}

// A name that the reader is asked for: the blanks around it dropped first.
void AppendWanted(std::string& out, const char* name)
{
    const char* end = name + TextLength(name);
    while (name < end && IsProfileBlank(*name)) {
        ++name;
    }
    while (end > name && IsProfileBlank(end[-1])) {
        --end;
    }
    AppendUpper(out, name, static_cast<std::size_t>(end - name));
}

} // namespace

ProfileIndex::ProfileIndex(std::string_view text)
{
    // The lines before the first header make a section without a name, the first of that name.
    std::unordered_set<std::string> sections{std::string()};
    std::string section;
    bool first = true; // the current section is the first of its name
    ProfileScan scan = StartProfileScan(text.data(), text.size());
    ProfileLine line;
    while (NextProfileLine(scan, line)) {
        if (line.kind == ProfileLineKind::Section) {
            section.clear();
            AppendUpper(section, line.name, line.nameLength);
            first = sections.insert(section).second;
        } else if (line.kind == ProfileLineKind::Key && first) {
            std::string key = section;
            key += '\0';
            AppendUpper(key, line.name, line.nameLength);
            keys_.emplace(std::move(key), line); // a later key of the same name is not read
        }
    }
}

const ProfileLine* ProfileIndex::Find(const char* section, const char* key) const
{
    std::string wanted;
    AppendWanted(wanted, section);
    wanted += '\0';
    AppendWanted(wanted, key);
    const auto found = keys_.find(wanted);
    return found != keys_.end() ? &found->second : nullptr;
}
