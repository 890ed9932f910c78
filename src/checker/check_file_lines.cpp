// The file lines of the counted disks: missing and extra keys, cut fields, names, directory keys.
#include <algorithm>
#include <set>

#include "checker/check_helpers.h"
#include "script/script_names.h"
#include "script/script_rules.h"

namespace checker {

namespace {

std::string CountText(const ScriptSettings& settings, int disk)
{
    return "[FileCounts] " + std::string(kDiskNames[disk]) + " is " +
           std::to_string(settings.fileCounts[disk]);
}

// Keys of a disk section that SETUP.EXE never asks for: not plain decimal numbers, or beyond the
// disk's count.
void CheckUnreadKeys(const ScriptModel& model, int disk, const OutlineSection& section,
                     Diagnostics& out)
{
    const int count = std::max<int>(model.settings.fileCounts[disk], 0);
    std::set<std::string> seen;
    for (const OutlineKey& key : section.keys) {
        if (IsComment(key.name) || !key.hasValue || !seen.insert(Upper(key.name)).second) {
            continue;
        }
        const bool decimal = !key.name.empty() && key.name.size() <= 5 &&
                             key.name.find_first_not_of("0123456789") == std::string::npos;
        if (!decimal || key.name[0] == '0') {
            Warn(out, key.line,
                 SectionName(section.name) + " key " + Quoted(key.name) +
                     " is never read: SETUP.EXE asks for the keys 1 to " + std::to_string(count) +
                     ", in decimal without leading zeros");
        } else if (std::stoi(key.name) > count) {
            Warn(out, key.line,
                 SectionName(section.name) + " " + key.name + " is beyond " +
                     CountText(model.settings, disk) + ": SETUP.EXE never reads it");
        }
    }
}

// Keys from..to that the section lacks, though SETUP.EXE asks for them.
void WarnMissingKeys(const ScriptModel& model, int disk, const OutlineSection& section, int from,
                     int to, Diagnostics& out)
{
    const bool one = from == to;
    const std::string keys =
        one ? "key " + std::to_string(from)
            : "keys " + std::to_string(from) + " to " + std::to_string(to);
    Warn(out, section.line,
         SectionName(section.name) + " has no " + keys + ", although " +
             CountText(model.settings, disk) + ": SETUP.EXE keeps " +
             (one ? std::string("an empty file record")
                  : std::to_string(to - from + 1) + " empty file records") +
             " and still counts " + (one ? "it" : "them"));
}

// The keys that SETUP.EXE asks for and the section lacks, in runs.
void CheckMissingKeys(const ScriptModel& model, int disk, const OutlineSection& section,
                      Diagnostics& out)
{
    int from = 0;
    for (const FileRecord& record : model.files) {
        if (record.disk != disk) {
            continue;
        }
        if (!record.source.hasValue) {
            from = from == 0 ? record.number : from;
        } else if (from != 0) {
            WarnMissingKeys(model, disk, section, from, record.number - 1, out);
            from = 0;
        }
    }
    if (from != 0) {
        WarnMissingKeys(model, disk, section, from, model.settings.fileCounts[disk], out);
    }
}

// The line as a whole: empty, cut, in quotes, with more fields than the loader reads.
bool CheckWholeLine(const FileRecord& record, const std::string& name, Diagnostics& out)
{
    const KeySource& source = record.source;
    const std::string& line = source.read;
    if (line.empty()) {
        Warn(out, source.line,
             name + "the file line is empty: SETUP.EXE keeps an empty file record and still "
                    "counts it");
        return false;
    }
    if (source.written != line) {
        Warn(out, source.line,
             name + "the file line has " + std::to_string(source.written.size()) +
                 " characters; SETUP.EXE reads 127 (" + Quoted(line) + ")");
    }
    const std::string& raw = source.raw;
    if (raw.size() >= 2 && (raw[0] == '"' || raw[0] == '\'') && raw.back() == raw[0]) {
        Warn(out, source.line,
             name + "the whole line stands in quotes: the profile reader drops the outer pair, "
                    "which changes the fields (" + Quoted(line) + ")");
    }
    if (record.fields.size() > 4) {
        std::string rest;
        for (std::size_t f = 4; f < record.fields.size(); ++f) {
            rest += (f > 4 ? "," : "") + record.fields[f].text;
        }
        Warn(out, source.line,
             name + "the line has " + std::to_string(record.fields.size()) +
                 " fields; SETUP.EXE reads 4 and ignores " + Quoted(rest) +
                 " (a comma inside a field needs double quotes around the field)");
    }
    return true;
}

// A name as the loader cuts it; an empty one, or one that leads out of its folder, means that
// nothing is copied. True when the name is used.
bool CheckName(const FileRecord& record, const std::string& name, FileField field,
               const char* kept, const char* folder, Diagnostics& out)
{
    const std::string what = field == kSourceField ? "source name" : "target name";
    const std::string& written = record.Field(field);
    if (written.empty()) {
        Warn(out, record.source.line,
             name + "the " + what + " is empty: SETUP.EXE " + kReportedNotCopied);
        return false;
    }
    if (!StaysInsideFolder(kept)) {
        Warn(out, record.source.line,
             name + what + " " + Quoted(kept) + " leads out of " + folder +
                 ": SETUP.EXE refuses it and " + kReportedNotCopied);
        return false;
    }
    WarnCut(out, record.source.line, name + what, written, kept, "SETUP.EXE");
    return true;
}

// A name that is not 8.3 (`what` names it), and what that costs.
void WarnLongName(const FileRecord& record, const std::string& what, const char* kept,
                  const char* cost, Diagnostics& out)
{
    if (!IsEightDotThree(kept)) {
        Warn(out, record.source.line, what + Quoted(kept) + " is not an 8.3 name; " + cost);
    }
}

// The directory key: one that SETUP.EXE does not know or that has no value, and the Windows
// folders that the record cuts.
void CheckDirectoryKey(const ScriptModel& model, const FileRecord& record,
                       const std::string& name, Diagnostics& out)
{
    const std::string& written = record.Field(kDirectoryField);
    const int key = MatchDirectoryKey(written.c_str(), kDirectoryKeys);
    const std::string intoDestination =
        ": SETUP.EXE copies the file into the destination directory itself";
    if (key < 0) {
        Warn(out, record.source.line,
             name +
                 (written.empty() ? std::string("the line has no directory key")
                                  : "directory key " + Quoted(written) +
                                        " is none of RootDir, SubDir1 to SubDir6, WinDir, "
                                        "WinSystemDir, WinInfDir") +
                 intoDestination);
    } else if (key > 0 && key < kFirstWindowsKey &&
               model.settings.directoryNames[key][0] == '\0') {
        Warn(out, record.source.line,
             name + "directory key " + kDirectoryKeys[key] + " has no value in [DirectoryName]" +
                 intoDestination);
    } else if (key >= kFirstWindowsKey) {
        static constexpr const char* kFolders[] = {"", "\\SYSTEM", "\\INF"};
        WarnCut(out, record.source.line, name + "the target folder",
                model.assumptions.windowsDir + kFolders[key - kFirstWindowsKey],
                record.entry.targetDir, "the file record");
    }
}

void CheckFileRecord(const ScriptModel& model, const FileRecord& record, Diagnostics& out)
{
    const std::string name = RecordName(record) + ": ";
    if (!record.source.hasValue || !CheckWholeLine(record, name, out)) {
        return;
    }
    const FileEntry& entry = record.entry;
    if (CheckName(record, name, kSourceField, entry.sourceName, "the medium's folder", out)) {
        WarnLongName(record, name + "source name ", entry.sourceName,
                     "a medium without long file names cannot hold it", out);
    }
    if (CheckName(record, name, kTargetField, entry.targetName, "its folder", out)) {
        WarnLongName(record, name + "target name ", entry.targetName,
                     "Windows 95 and 98 would bring a file in use back under its 8.3 alias from "
                     "the replacement at their next start, so SETUP.EXE does not replace it "
                     "while it is in use",
                     out);
    }
    if (record.fields.size() > kDescriptionField) {
        WarnCut(out, record.source.line, name + "description", record.Field(kDescriptionField),
                entry.description, "SETUP.EXE");
    }
    CheckDirectoryKey(model, record, name, out);
}

} // namespace

void CheckDiskSections(const ScriptModel& model, Diagnostics& out)
{
    if (model.loadFails) {
        return; // SETUP.EXE reads no file line at all
    }
    const ScriptSettings& settings = model.settings;
    for (int d = 0; d < settings.diskCount; ++d) {
        const OutlineSection* section = FindSection(model, kDiskNames[d]);
        if (section != nullptr) {
            CheckUnreadKeys(model, d, *section, out);
            CheckMissingKeys(model, d, *section, out);
        } else if (settings.fileCounts[d] > 0) {
            Warn(out, Source(model, kFileCountsSection, kDiskNames[d]).line,
                 SectionName(kDiskNames[d]) + " is missing, although " + CountText(settings, d) +
                     ": SETUP.EXE keeps " +
                     Count(settings.fileCounts[d], "empty file record", "empty file records"));
        }
    }
}

void CheckFileRecords(const ScriptModel& model, Diagnostics& out)
{
    for (const FileRecord& record : model.files) {
        CheckFileRecord(model, record, out);
    }
}

} // namespace checker
