#include "authoring/floppy.h"

#include "authoring/diagnostics.h"
#include "authoring/names.h"
#include "script/script_names.h"

namespace authoring {

namespace {

constexpr std::uint64_t kLongNamePartLength = 13; // characters of a long name in one entry

bool HasLowerCase(std::string_view name)
{
    for (const char c : name) {
        if (c >= 'a' && c <= 'z') {
            return true;
        }
    }
    return false;
}

std::uint64_t RootEntriesFor(std::string_view name)
{
    if (IsEightDotThree(name) && !HasLowerCase(name)) {
        return 1;
    }
    // The short alias and the long name's entries.
    return 1 + (name.size() + kLongNamePartLength - 1) / kLongNamePartLength;
}

bool Holds(const std::vector<FloppySetFile>& disk, std::string_view name)
{
    for (const FloppySetFile& file : disk) {
        if (EqualsNoCase(file.name, name)) {
            return true;
        }
    }
    return false;
}

} // namespace

FloppyUse FloppyUseOf(const std::vector<ImageFile>& files)
{
    FloppyUse use;
    use.rootEntries = 1; // the volume label
    for (const ImageFile& file : files) {
        const std::uint64_t sectors = (file.size + kFloppySectorSize - 1) / kFloppySectorSize;
        use.dataBytes += sectors * kFloppySectorSize;
        use.rootEntries += RootEntriesFor(file.name);
    }
    return use;
}

std::optional<std::string> FloppyOverflow(const FloppyUse& use, std::string_view what)
{
    if (use.dataBytes > kFloppyDataBytes) {
        return std::string(what) + " takes " + std::to_string(use.dataBytes) +
               " bytes in whole sectors, and a 1.44 MB floppy holds " +
               std::to_string(kFloppyDataBytes) + ": " +
               std::to_string(use.dataBytes - kFloppyDataBytes) + " bytes too many";
    }
    if (use.rootEntries > kFloppyRootEntries) {
        return "the names on " + std::string(what) + " take " + std::to_string(use.rootEntries) +
               " entries of the floppy's root folder (with its label), which has " +
               std::to_string(kFloppyRootEntries) + ": " +
               std::to_string(use.rootEntries - kFloppyRootEntries) + " too many";
    }
    return std::nullopt;
}

std::string FloppyDiskName(int disk, std::string_view label)
{
    const std::string name = "disk " + std::to_string(disk + 1);
    return label.empty() ? name : name + " (" + Quoted(label) + ")";
}

std::vector<std::vector<FloppySetFile>> FloppySetFiles(const ScriptModel& model)
{
    std::vector<std::vector<FloppySetFile>> disks(
        static_cast<std::size_t>(model.settings.diskCount));
    if (!disks.empty()) {
        disks[0] = {{kSetupName, nullptr}, {kScriptName, nullptr}};
    }
    for (const FileRecord& record : model.files) {
        const std::string source = record.entry.sourceName;
        std::vector<FloppySetFile>& disk = disks[static_cast<std::size_t>(record.disk)];
        if (!source.empty() && !Holds(disk, source)) {
            disk.push_back(FloppySetFile{source, &record});
        }
    }
    return disks;
}

} // namespace authoring
