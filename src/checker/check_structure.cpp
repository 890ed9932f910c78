// The lines of the script as the profile reader sees them: sections that SETUP.EXE never reads or
// reads only once, keys it does not know, lines without "=", keys before any section.
#include <map>

#include "checker/check_helpers.h"
#include "checker/script_names.h"

namespace checker {

namespace {

bool IsKnownMainKey(std::string_view name)
{
    for (const char* key : {kDefaultPathKey, kProductNameKey, kDriverNameKey, kOemData1Key,
                            kOemData2Key, kMinimumSpaceKey}) {
        if (EqualsNoCase(name, key)) {
            return true;
        }
    }
    return false;
}

bool IsDiskName(std::string_view name)
{
    for (const char* disk : kDiskNames) {
        if (EqualsNoCase(name, disk)) {
            return true;
        }
    }
    return false;
}

bool IsDirectoryKey(std::string_view name)
{
    for (const char* key : kDirectoryKeys) {
        if (EqualsNoCase(name, key)) {
            return true;
        }
    }
    return false;
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

} // namespace

void CheckStructure(const ScriptModel& model, Diagnostics& out)
{
    for (const OutlineKey& key : model.outline.front().keys) {
        if (!IsComment(key.name) && !(key.name.size() > 0 && key.name[0] == '[')) {
            Warn(out, key.line,
                 "line " + Quoted(key.name + (key.hasValue ? "=" + key.raw : "")) +
                     " stands before any section; SETUP.EXE never reads it");
        }
    }

    std::map<std::string, std::size_t> firstHeader; // upper-case name -> line
    for (std::size_t s = 1; s < model.outline.size(); ++s) {
        const OutlineSection& section = model.outline[s];
        if (IsRegistryMarkerSection(section.name)) {
            continue;
        }
        const bool main = EqualsNoCase(section.name, kMainSection);
        const bool labels = EqualsNoCase(section.name, kDiskLabelSection);
        const bool directories = EqualsNoCase(section.name, kDirectoryNameSection);
        const bool counts = EqualsNoCase(section.name, kFileCountsSection);
        const bool disk = IsDiskName(section.name);
        if (!(main || labels || directories || counts || disk)) {
            if (IsLaterDiskName(section.name)) {
                Warn(out, section.line,
                     SectionName(section.name) +
                         " is never read: SETUP.EXE reads at most 6 disks, Disk1 to Disk6");
            } else {
                Warn(out, section.line,
                     "section " + SectionName(section.name) + " is never read by SETUP.EXE");
            }
            continue;
        }
        const auto [first, isFirst] = firstHeader.emplace(Upper(section.name), section.line);
        if (!isFirst) {
            Warn(out, section.line,
                 SectionName(section.name) + " appears again; the profile reader uses only "
                                             "the first one (line " +
                     std::to_string(first->second) + ") and ignores every key here");
            continue;
        }

        std::map<std::string, std::size_t> firstKey;
        for (const OutlineKey& key : section.keys) {
            if (IsComment(key.name)) {
                continue;
            }
            if (!key.name.empty() && key.name[0] == '[') {
                Warn(out, key.line,
                     Quoted(key.name) + " has no closing \"]\": it is no section header, and the "
                                        "keys after it stay in " +
                         SectionName(section.name));
                continue;
            }
            const auto [earlier, isFirstKey] = firstKey.emplace(Upper(key.name), key.line);
            if (!isFirstKey) {
                Warn(out, key.line,
                     KeyName(section.name, key.name) +
                         " appears again; the profile reader uses only the first (line " +
                         std::to_string(earlier->second) + ")");
                continue;
            }
            if (!key.hasValue) {
                Warn(out, key.line,
                     SectionName(section.name) + " line " + Quoted(key.name) +
                         " has no \"=\": it sets nothing");
                continue;
            }
            const bool known = (main && IsKnownMainKey(key.name)) ||
                               ((labels || counts) && IsDiskName(key.name)) ||
                               (directories && IsDirectoryKey(key.name)) || disk;
            if (!known) {
                Warn(out, key.line,
                     SectionName(section.name) + " " + Quoted(key.name) +
                         " is not a key that SETUP.EXE reads");
                continue;
            }
            if (HasTrailingComment(key.raw)) {
                Warn(out, key.line,
                     KeyName(section.name, key.name) + " " + Quoted(key.raw) +
                         " holds \";\" after a blank: the profile reader knows no comments "
                         "after a value, so that text is part of the value");
            }
        }
    }
}

} // namespace checker
