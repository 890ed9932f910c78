// A set of floppies, one for each disk that SETUP.EXE counts: what each disk's files take on its
// floppy, as setup-medium lays the set out.
#include "checker/check_helpers.h"
#include "script/script_names.h"
#include "szdd/szdd_writer.h"

namespace checker {

namespace {

// A source that the medium makes by compressing its original: named like the target with the
// last character replaced by "_".
bool IsMadeByCompressing(std::string_view source, std::string_view target)
{
    return !source.empty() && source.back() == '_' && !EqualsNoCase(source, target);
}

// The bytes that an original takes on the medium: compressed as setup-medium compresses it, or as
// it is.
std::uint64_t MadeSize(const std::string& source, const std::string& target,
                       const std::vector<std::uint8_t>& original)
{
    if (!IsMadeByCompressing(source, target) || target.empty() ||
        original.size() > szdd::kSzddLargestOriginal) {
        return original.size();
    }
    return szdd::CompressSzdd(original, target.back()).size();
}

// What a file of the set takes on its floppy; nothing when it is not at hand (the medium's checks
// report a record's file that is missing). SETUP.EXE, when it is not, is reckoned at its largest.
std::optional<std::uint64_t> SizeOnFloppy(const FloppySetFile& file, const ScriptModel& model,
                                          const Medium& medium, bool& setupReckoned)
{
    if (EqualsNoCase(file.name, kScriptName)) {
        return model.text.size();
    }
    if (file.record == nullptr || medium.layout == MediumLayout::Medium) {
        if (const auto bytes = medium.read(file.name)) {
            return bytes->size();
        }
        setupReckoned = setupReckoned || file.record == nullptr;
        return file.record == nullptr ? std::optional<std::uint64_t>(kSetupLargestSize)
                                      : std::nullopt;
    }
    const std::string target = file.record->entry.targetName;
    const auto original = medium.read(target);
    if (!original) {
        return std::nullopt;
    }
    return MadeSize(file.name, target, *original);
}

// The line that a disk's warning is tied to: its section, else its count, else its label.
std::size_t DiskLine(const ScriptModel& model, int disk)
{
    const char* name = kDiskNames[disk];
    if (const std::size_t section = SectionLine(model, name); section != 0) {
        return section;
    }
    const KeySource& count = Source(model, kFileCountsSection, name);
    return count.line != 0 ? count.line
                           : KeyOrSectionLine(model, Source(model, kDiskLabelSection, name),
                                              kDiskLabelSection);
}

} // namespace

std::vector<FloppyDisk> CheckFloppySet(const ScriptModel& model, const Medium& medium,
                                       Diagnostics& out)
{
    std::vector<FloppyDisk> disks;
    if (!medium.floppySet || medium.layout == MediumLayout::None || !medium.read) {
        return disks;
    }
    const std::vector<std::vector<FloppySetFile>> sets = FloppySetFiles(model);
    for (std::size_t d = 0; d < sets.size(); ++d) {
        FloppyDisk& disk = disks.emplace_back();
        disk.disk = static_cast<int>(d);
        disk.label = model.settings.diskLabels[d];
        std::vector<ImageFile> files;
        for (const FloppySetFile& file : sets[d]) {
            if (const auto size = SizeOnFloppy(file, model, medium, disk.setupReckoned)) {
                files.push_back(ImageFile{file.name, *size});
            }
        }
        disk.files = files.size();
        disk.use = FloppyUseOf(files);
        if (const auto overflow = FloppyOverflow(disk.use, FloppyDiskName(disk.disk, disk.label))) {
            Warn(out, DiskLine(model, disk.disk),
                 "on a floppy of its own, " + *overflow +
                     (sets.size() == 1 ? " (setup-medium --split lays the records of a script of "
                                         "one disk out over several floppies)"
                                       : ""));
        }
    }
    return disks;
}

} // namespace checker
