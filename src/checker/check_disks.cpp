// [DiskLabel] and [FileCounts]: the disks that SETUP.EXE counts and reads, and their file counts.
#include <algorithm>

#include "checker/check_helpers.h"
#include "script/script_names.h"

namespace checker {

namespace {

std::string LabelsCounted(const ScriptSettings& settings)
{
    return Count(settings.diskCount, "non-empty label", "non-empty labels");
}

// Labels cut to their slots, empty labels among the counted disks, labels after a gap.
void CheckLabels(const ScriptModel& model, Diagnostics& out)
{
    const ScriptSettings& settings = model.settings;
    int firstEmpty = -1;
    for (int d = 0; d < kMaxDisks; ++d) {
        const KeySource& label = Source(model, kDiskLabelSection, kDiskNames[d]);
        const std::string name = KeyName(kDiskLabelSection, kDiskNames[d]);
        if (label.hasValue) {
            WarnCut(out, label.line, name, label.written, settings.diskLabels[d], "SETUP.EXE");
        }
        if (settings.diskLabels[d][0] != '\0') {
            if (d >= settings.diskCount) {
                Warn(out, label.line,
                     name + " comes after the empty " + kDiskNames[firstEmpty] +
                         ": SETUP.EXE counts " + LabelsCounted(settings) + ", reads disks 1 to " +
                         std::to_string(settings.diskCount) + " only, and never installs the "
                         "files of " + SectionName(kDiskNames[d]));
            }
            continue;
        }
        firstEmpty = firstEmpty < 0 ? d : firstEmpty;
        if (d < settings.diskCount) {
            Warn(out, KeyOrSectionLine(model, label, kDiskLabelSection),
                 name + " is empty, but SETUP.EXE counts " + LabelsCounted(settings) +
                     " and so still reads disk " + std::to_string(d + 1) + " of " +
                     SectionName(kDiskNames[d]));
        }
    }
}

// Disk sections that no label makes SETUP.EXE read.
void CheckUnreadDisks(const ScriptModel& model, Diagnostics& out)
{
    const ScriptSettings& settings = model.settings;
    bool anyDiskSection = false;
    for (int d = 0; d < kMaxDisks; ++d) {
        const OutlineSection* section = FindSection(model, kDiskNames[d]);
        if (section == nullptr) {
            continue;
        }
        anyDiskSection = true;
        if (d >= settings.diskCount && settings.diskLabels[d][0] == '\0') {
            Warn(out, section->line,
                 SectionName(kDiskNames[d]) + " is never read: SETUP.EXE counts " +
                     Count(settings.diskCount, "disk", "disks") +
                     " (one per non-empty label in [DiskLabel])");
        }
    }
    if (settings.diskCount == 0 && (anyDiskSection || FindSection(model, kFileCountsSection))) {
        Warn(out, SectionLine(model, kDiskLabelSection),
             "[DiskLabel] has no non-empty label: SETUP.EXE counts no disk and installs no file");
    }
}

// The counts of the counted disks, and their total.
void CheckFileCounts(const ScriptModel& model, Diagnostics& out)
{
    const ScriptSettings& settings = model.settings;
    const std::size_t countsLine = SectionLine(model, kFileCountsSection);
    for (int d = 0; d < settings.diskCount; ++d) {
        const KeySource& count = Source(model, kFileCountsSection, kDiskNames[d]);
        const std::string name = KeyName(kFileCountsSection, kDiskNames[d]);
        const std::string disk = "disk " + std::to_string(d + 1);
        if (!count.hasValue) {
            Warn(out, count.line != 0   ? count.line
                      : countsLine != 0 ? countsLine
                                        : SectionLine(model, kDiskLabelSection),
                 std::string(countsLine != 0 ? "" : "[FileCounts] is missing: ") + name +
                     " is not set, so " + disk + " counts no file and none of " +
                     SectionName(kDiskNames[d]) + " is installed");
            continue;
        }
        CheckNumberKey(out, kFileCountsSection, kDiskNames[d], count, 0);
        const std::int16_t kept = settings.fileCounts[d];
        CheckSixteenBits(out, name, count, kept, kept <= 0,
                         "no file of " + disk + " is installed");
    }
    if (model.loadFails) {
        long total = 0;
        for (int d = 0; d < settings.diskCount; ++d) {
            total += std::max<long>(settings.fileCounts[d], 0);
        }
        Warn(out, countsLine,
             "[FileCounts] adds up to " + std::to_string(total) +
                 " files, more than 32767: SETUP.EXE stops at once with \"SETUP.INF Reading "
                 "error !\"");
    }
}

} // namespace

void CheckDisks(const ScriptModel& model, Diagnostics& out)
{
    CheckLabels(model, out);
    CheckUnreadDisks(model, out);
    CheckFileCounts(model, out);
}

} // namespace checker
