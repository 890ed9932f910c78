// The script's text as a whole, and its lines as the profile reader sees them: sections that
// SETUP.EXE never reads or reads only once, keys it does not know, lines without "=", keys before
// any section.
#include <map>

#include "checker/check_helpers.h"
#include "checker/text_lines.h"
#include "script/script_names.h"

namespace checker {

namespace {

constexpr const char* kMainKeys[] = {kDefaultPathKey, kProductNameKey, kDriverNameKey,
                                     kOemData1Key,    kOemData2Key,    kMinimumSpaceKey};

// A name among `names`, case ignored.
template <std::size_t N>
bool IsOneOf(std::string_view name, const char* const (&names)[N])
{
    for (const char* candidate : names) {
        if (EqualsNoCase(name, candidate)) {
            return true;
        }
    }
    return false;
}

bool IsDiskName(std::string_view name)
{
    return IsOneOf(name, kDiskNames);
}

// "Disk7", "DISK12": a disk section beyond the six that SETUP.EXE reads.
bool IsLaterDiskName(std::string_view name)
{
    if (name.size() < 5 || !StartsWithNoCase(name, "Disk")) {
        return false;
    }
    for (std::size_t i = 4; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return false;
        }
    }
    return !IsDiskName(name);
}

bool IsRegistryMarkerSection(std::string_view name)
{
    return EqualsNoCase(name, "REGISTRY_BEGIN") || EqualsNoCase(name, "REGISTRY_END");
}

// A value that goes on after a blank and a semicolon: the reader has no comments after values.
bool HasTrailingComment(std::string_view value)
{
    for (std::size_t i = 1; i < value.size(); ++i) {
        if (value[i] == ';' && (value[i - 1] == ' ' || value[i - 1] == '\t')) {
            return true;
        }
    }
    return false;
}

// What SETUP.EXE reads in a section, by its name.
struct SectionKind {
    bool main = false;
    bool labels = false;
    bool directories = false;
    bool counts = false;
    bool disk = false;

    explicit SectionKind(std::string_view name)
        : main(EqualsNoCase(name, kMainSection)), labels(EqualsNoCase(name, kDiskLabelSection)),
          directories(EqualsNoCase(name, kDirectoryNameSection)),
          counts(EqualsNoCase(name, kFileCountsSection)), disk(IsDiskName(name))
    {
    }
    bool IsRead() const { return main || labels || directories || counts || disk; }
    bool Knows(std::string_view key) const
    {
        return (main && IsOneOf(key, kMainKeys)) || ((labels || counts) && IsDiskName(key)) ||
               (directories && IsOneOf(key, kDirectoryKeys)) || disk;
    }
};

void CheckLinesBeforeSections(const ScriptModel& model, Diagnostics& out)
{
    for (const OutlineKey& key : model.outline.front().keys) {
        if (!IsComment(key.name) && !(key.name.size() > 0 && key.name[0] == '[')) {
            Warn(out, key.line,
                 "line " + Quoted(key.name + (key.hasValue ? "=" + key.raw : "")) +
                     " stands before any section; SETUP.EXE never reads it");
        }
    }
}

// A section that SETUP.EXE never reads.
void WarnUnreadSection(const OutlineSection& section, Diagnostics& out)
{
    if (IsLaterDiskName(section.name)) {
        Warn(out, section.line,
             SectionName(section.name) +
                 " is never read: SETUP.EXE reads at most 6 disks, Disk1 to Disk6");
    } else {
        Warn(out, section.line,
             "section " + SectionName(section.name) + " is never read by SETUP.EXE");
    }
}

// One key line of a section that SETUP.EXE reads; `firstKey` holds the keys before it.
void CheckKeyLine(const OutlineSection& section, const SectionKind& kind, const OutlineKey& key,
                  std::map<std::string, std::size_t>& firstKey, Diagnostics& out)
{
    if (!key.name.empty() && key.name[0] == '[') {
        Warn(out, key.line,
             Quoted(key.name) + " has no closing \"]\": it is no section header, and the keys "
                                "after it stay in " + SectionName(section.name));
        return;
    }
    const auto [earlier, isFirstKey] = firstKey.emplace(Upper(key.name), key.line);
    if (!isFirstKey) {
        Warn(out, key.line,
             KeyName(section.name, key.name) + " appears again; the profile reader uses only the "
                                               "first (line " +
                 std::to_string(earlier->second) + ")");
    } else if (!key.hasValue) {
        Warn(out, key.line,
             SectionName(section.name) + " line " + Quoted(key.name) +
                 " has no \"=\": it sets nothing");
    } else if (!kind.Knows(key.name)) {
        Warn(out, key.line,
             SectionName(section.name) + " " + Quoted(key.name) +
                 " is not a key that SETUP.EXE reads");
    } else if (HasTrailingComment(key.raw)) {
        Warn(out, key.line,
             KeyName(section.name, key.name) + " " + Quoted(key.raw) +
                 " holds \";\" after a blank: the profile reader knows no comments after a "
                 "value, so that text is part of the value");
    }
}

} // namespace

void CheckStructure(const ScriptModel& model, Diagnostics& out)
{
    CheckLinesBeforeSections(model, out);
    std::map<std::string, std::size_t> firstHeader; // upper-case name -> line
    for (std::size_t s = 1; s < model.outline.size(); ++s) {
        const OutlineSection& section = model.outline[s];
        const SectionKind kind(section.name);
        if (IsRegistryMarkerSection(section.name)) {
            continue;
        }
        if (!kind.IsRead()) {
            WarnUnreadSection(section, out);
            continue;
        }
        const auto [first, isFirst] = firstHeader.emplace(Upper(section.name), section.line);
        if (!isFirst) {
            Warn(out, section.line,
                 SectionName(section.name) + " appears again; the profile reader uses only the "
                                             "first one (line " +
                     std::to_string(first->second) + ") and ignores every key here");
            continue;
        }
        std::map<std::string, std::size_t> firstKey;
        for (const OutlineKey& key : section.keys) {
            if (!IsComment(key.name)) {
                CheckKeyLine(section, kind, key, firstKey, out);
            }
        }
    }
}

void CheckText(const ScriptModel& model, Diagnostics& out)
{
    constexpr std::size_t kScriptLimit = 32768;
    const std::string_view text = model.text;
    if (text.size() >= kScriptLimit) {
        // Tied to the line that holds the 32768th byte, where the script crosses the limit.
        Warn(out, LineAt(text, kScriptLimit - 1),
             "the script reaches 32768 bytes on this line (" + std::to_string(text.size()) +
                 " bytes in all); SETUP.EXE's scanners count in 16 bits, so it must be shorter "
                 "than 32768 bytes");
    }
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) {
        Warn(out, LineAt(text, nul),
             "the script holds a NUL byte: SETUP.EXE's registry section ends there, and the "
             "profile reader ends the name or value there");
    }
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        Warn(out, 1,
             "the script begins with a UTF-8 byte-order mark: Windows 95 and 98 read it as part "
             "of the first line, so a section header there is not recognised; save the script "
             "as plain ANSI text");
    }
}

} // namespace checker
