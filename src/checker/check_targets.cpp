// Where the file records put their files, with the default destination: one target for two
// records, the name of SETUP.EXE's install record, and the uninstaller that the uninstall entry
// runs.
#include <map>

#include "base/bounded_text.h"
#include "checker/check_helpers.h"
#include "script/install_locations.h"
#include "script/script_names.h"

namespace checker {

namespace {

// The target path of a record, as the copy page joins it, with single backslashes.
std::string TargetPath(const ScriptSettings& settings, const FileEntry& entry)
{
    std::string path = entry.absoluteTarget != 0
                           ? std::string(entry.targetDir)
                           : std::string(settings.destDir) + "\\" + entry.targetDir;
    path += "\\";
    path += entry.targetName;
    CollapseBackslashes(path.data());
    path.resize(TextLength(path.c_str()));
    return path;
}

// A record that the copy page copies into the destination folder itself.
bool InDestinationItself(const FileEntry& entry)
{
    return IsCopiedRecord(entry) && entry.absoluteTarget == 0 && entry.targetDir[0] == '\0';
}

void CheckSameTargets(const ScriptModel& model, Diagnostics& out)
{
    std::map<std::string, const FileRecord*> targets; // upper-case target path -> first record
    for (const FileRecord& record : model.files) {
        if (record.entry.targetName[0] == '\0') {
            continue;
        }
        const std::string path = TargetPath(model.settings, record.entry);
        const auto [first, isFirst] = targets.emplace(Upper(path), &record);
        if (!isFirst) {
            Warn(out, record.source.line,
                 RecordName(record) + ": the same target " + Quoted(path) + " as " +
                     RecordName(*first->second) + " (line " +
                     std::to_string(first->second->source.line) +
                     "): the later copy overwrites the earlier");
        }
    }
}

// SETUP.EXE keeps the record of what it changes as UNINSTAL.DAT beside UNINSTAL.EXE.
void CheckInstallRecordName(const ScriptModel& model, Diagnostics& out)
{
    for (const FileRecord& record : model.files) {
        if (InDestinationItself(record.entry) &&
            EqualsNoCase(record.entry.targetName, kInstallRecordName)) {
            Warn(out, record.source.line,
                 RecordName(record) + ": the target " + kInstallRecordName +
                     " in the destination folder itself is where SETUP.EXE keeps its install "
                     "record: SETUP.EXE refuses the record and " + kReportedNotCopied);
        }
    }
}

// The uninstall entry that SETUP.EXE writes runs UNINSTAL.EXE in the destination folder itself.
// The warning stands on a record that puts UNINSTAL.EXE elsewhere; without one, on the header of
// the last disk section that SETUP.EXE reads, where a record would go.
void CheckUninstaller(const ScriptModel& model, Diagnostics& out)
{
    if (model.loadFails) {
        return; // SETUP.EXE stops before it writes anything
    }
    const FileRecord* elsewhere = nullptr;
    for (const FileRecord& record : model.files) {
        if (!EqualsNoCase(record.entry.targetName, kUninstallerName)) {
            continue;
        }
        if (InDestinationItself(record.entry)) {
            return;
        }
        elsewhere = elsewhere != nullptr ? elsewhere : &record;
    }
    const std::string consequence =
        ": the uninstall entry that SETUP.EXE writes runs " +
        Quoted(std::string(model.settings.destDir) + "\\" + kUninstallerName) +
        ", which would not be there";
    if (elsewhere != nullptr) {
        Warn(out, elsewhere->source.line,
             RecordName(*elsewhere) + ": " + kUninstallerName +
                 " does not go into the destination folder itself, and no other record puts it "
                 "there" + consequence);
        return;
    }
    const int lastDisk = model.settings.diskCount - 1;
    const std::size_t diskLine = lastDisk >= 0 ? SectionLine(model, kDiskNames[lastDisk]) : 0;
    // Appended rather than joined with +: GCC 12 takes "literal" + kUninstallerName for an
    // overflow (-Warray-bounds) once <string> comes from the precompiled header.
    std::string text = "the script installs no ";
    text += kUninstallerName;
    Warn(out, diskLine != 0 ? diskLine : SectionLine(model, kFileCountsSection),
         text + " into the destination folder itself" + consequence);
}

} // namespace

void CheckTargets(const ScriptModel& model, Diagnostics& out)
{
    CheckSameTargets(model, out);
    CheckInstallRecordName(model, out);
    CheckUninstaller(model, out);
}

} // namespace checker
