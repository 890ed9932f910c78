#include "medium/floppy_split.h"

#include <set>

#include "authoring/floppy.h"
#include "authoring/names.h"
#include "checker/text_lines.h"
#include "script/script_names.h"

namespace medium {

using namespace authoring;

namespace {

constexpr std::size_t kLabelLength = kDiskLabelSize - 1;

bool Holds(const std::vector<ImageFile>& disk, std::string_view name)
{
    for (const ImageFile& file : disk) {
        if (EqualsNoCase(file.name, name)) {
            return true;
        }
    }
    return false;
}

bool Fits(const std::vector<ImageFile>& disk)
{
    return !FloppyOverflow(FloppyUseOf(disk));
}

std::uint64_t SizeOf(std::string_view name, const FileSizes& sizes, std::uint64_t scriptSize)
{
    if (EqualsNoCase(name, kScriptName)) {
        return scriptSize;
    }
    const auto found = sizes.find(Upper(name));
    return found != sizes.end() ? found->second : 0;
}

std::uint64_t Sectors(std::uint64_t bytes)
{
    return (bytes + kFloppySectorSize - 1) / kFloppySectorSize;
}

// A script that --split can lay out: one disk, labelled Disk1. The reason it cannot, or nothing.
std::string NotOneDisk(const ScriptModel& model)
{
    const ScriptSettings& settings = model.settings;
    if (settings.diskCount == 1 && settings.diskLabels[0][0] != '\0') {
        return {};
    }
    return "--split lays out the file records of [Disk1] of a script of one disk, labelled by "
           "[DiskLabel] Disk1, and SETUP.EXE counts " +
           std::to_string(settings.diskCount) + (settings.diskCount == 1 ? " disk" : " disks") +
           " here: list every file under [Disk1] and give Disk1 alone a label";
}

// What takes the place of a section of the author's.
enum class Part { Kept, DiskLabel, FileCounts, DiskSections, Dropped };

Part PartOf(std::string_view section)
{
    if (EqualsNoCase(section, kDiskLabelSection)) {
        return Part::DiskLabel;
    }
    if (EqualsNoCase(section, kFileCountsSection)) {
        return Part::FileCounts;
    }
    for (int d = 0; d < kMaxDisks; ++d) {
        if (EqualsNoCase(section, kDiskNames[d])) {
            return d == 0 ? Part::DiskSections : Part::Dropped;
        }
    }
    return Part::Kept;
}

std::string LineBreakOf(std::string_view text)
{
    if (text.find("\r\n") != std::string_view::npos) {
        return "\r\n";
    }
    return text.find('\n') != std::string_view::npos   ? "\n"
           : text.find('\r') != std::string_view::npos ? "\r"
                                                       : "\r\n";
}

// The lines of `part` as the layout writes them.
std::string PartText(Part part, const ScriptModel& model, const FloppySplit& split,
                     const std::string& eol)
{
    std::string text;
    if (part == Part::DiskLabel || part == Part::FileCounts) {
        text = "[" + std::string(part == Part::DiskLabel ? kDiskLabelSection : kFileCountsSection) +
               "]" + eol;
        for (int d = 0; d < split.diskCount; ++d) {
            int count = 0;
            for (const int disk : split.diskOf) {
                count += disk == d ? 1 : 0;
            }
            text += std::string(kDiskNames[d]) + "=" +
                    (part == Part::DiskLabel ? split.labels[d] : std::to_string(count)) + eol;
        }
    }
    for (int d = 0; part == Part::DiskSections && d < split.diskCount; ++d) {
        text += (d > 0 ? eol : std::string()) + "[" + kDiskNames[d] + "]" + eol;
        int number = 0;
        for (std::size_t r = 0; r < split.diskOf.size(); ++r) {
            if (split.diskOf[r] == d) {
                text += std::to_string(++number) + "=" + model.files[r].source.raw + eol;
            }
        }
    }
    return text;
}

} // namespace

FloppySplit SplitOverFloppies(const ScriptModel& model, const FileSizes& sizes,
                              std::uint64_t scriptSize)
{
    FloppySplit split;
    if (const std::string why = NotOneDisk(model); !why.empty()) {
        Warn(split.errors, SectionLine(model, kDiskLabelSection), why);
        return split;
    }
    std::vector<ImageFile> disk = {{kSetupName, SizeOf(kSetupName, sizes, scriptSize)},
                                   {kScriptName, scriptSize}};
    split.diskCount = 1;
    for (const FileRecord& record : model.files) {
        const std::string source = record.entry.sourceName;
        const bool added = !source.empty() && !Holds(disk, source);
        if (added) {
            disk.push_back(ImageFile{source, SizeOf(source, sizes, scriptSize)});
        }
        if (added && !Fits(disk)) {
            const std::string name = RecordName(record) + ": ";
            disk = {disk.back()};
            if (const auto overflow =
                    FloppyOverflow(FloppyUseOf(disk), Quoted(source) + " alone")) {
                Warn(split.errors, record.source.line, name + *overflow);
                return split;
            }
            if (split.diskCount == kMaxDisks) {
                Warn(split.errors, record.source.line,
                     name + Quoted(source) + " would begin floppy " +
                         std::to_string(kMaxDisks + 1) + ", and SETUP.EXE reads at most " +
                         std::to_string(kMaxDisks) + " disks");
                return split;
            }
            ++split.diskCount;
        }
        split.diskOf.push_back(split.diskCount - 1);
    }
    for (int d = 0; d < split.diskCount; ++d) {
        split.labels.push_back(SetDiskLabel(model.settings.diskLabels[0], d, split.diskCount));
    }
    return split;
}

std::string SetDiskLabel(std::string_view first, int disk, int count)
{
    if (count <= 1) {
        return std::string(first);
    }
    const std::string number = std::to_string(disk + 1);
    // A 1 with no digit before it.
    const bool endsInOne = !first.empty() && first.back() == '1' &&
                           (first.size() == 1 || first[first.size() - 2] < '0' ||
                            first[first.size() - 2] > '9');
    if (endsInOne) {
        return std::string(first.substr(0, first.size() - 1)) + number;
    }
    const std::string suffix = " Disk " + number;
    std::string before(first.substr(0, kLabelLength - suffix.size()));
    while (!before.empty() && before.back() == ' ') {
        before.pop_back();
    }
    return before + suffix;
}

std::string SplitScriptText(const ScriptModel& model, const FloppySplit& split)
{
    std::map<std::size_t, Part> headers; // the line of each section that gives way
    std::set<std::size_t> keyLines;      // ... and of its keys
    std::set<std::string> seen;
    for (std::size_t i = 1; i < model.outline.size(); ++i) {
        const OutlineSection& section = model.outline[i];
        const Part part = PartOf(section.name);
        if (part == Part::Kept || !seen.insert(Upper(section.name)).second) {
            continue;
        }
        headers[section.line] = part;
        for (const OutlineKey& key : section.keys) {
            if (key.name.empty() || key.name[0] != ';') {
                keyLines.insert(key.line);
            }
        }
    }
    const std::string eol = LineBreakOf(model.text);
    std::string text;
    for (const checker::TextLine& line : checker::SplitLines(model.text)) {
        if (const auto header = headers.find(line.number); header != headers.end()) {
            text += PartText(header->second, model, split, eol);
        } else if (keyLines.count(line.number) == 0) {
            text += std::string(line.text) + eol;
        }
    }
    return text;
}

std::string SplitScript(const ScriptModel& model, const FileSizes& sizes, FloppySplit& split)
{
    std::uint64_t assumed = model.text.size();
    for (;;) {
        split = SplitOverFloppies(model, sizes, assumed);
        if (!split.errors.empty()) {
            return {};
        }
        std::string text = SplitScriptText(model, split);
        if (Sectors(text.size()) <= Sectors(assumed)) {
            return text;
        }
        assumed = text.size();
    }
}

} // namespace medium
