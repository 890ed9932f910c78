// The file lines of the counted disks: missing and extra keys, cut fields, names, directory keys,
// target paths.
#include <algorithm>
#include <map>
#include <set>

#include "checker/check_helpers.h"
#include "checker/script_names.h"
#include "install/copy_progress.h"
#include "script/scanners.h"
#include "script/script_rules.h"

namespace checker {

void CheckFileLines(const ScriptModel& model, Diagnostics& out)
{
    const ScriptSettings& settings = model.settings;
    struct Target {
        int disk;
        int number;
        std::size_t line;
    };
    std::map<std::string, Target> targets; // upper-case target path -> first record
    std::size_t recordIndex = 0;
    if (model.loadFails) {
        return; // SETUP.EXE reads no file line at all
    }

    for (int d = 0; d < settings.diskCount; ++d) {
        const std::string section = kDiskNames[d];
        const OutlineSection* outline = FindSection(model, section);
        const int count = std::max<int>(settings.fileCounts[d], 0);
        const std::size_t countLine = Source(model, kFileCountsSection, section).line;
        const std::string countText =
            "[FileCounts] " + section + " is " + std::to_string(settings.fileCounts[d]);

        if (outline == nullptr && count > 0) {
            Warn(out, countLine,
                 SectionName(section) + " is missing, although " + countText +
                     ": SETUP.EXE keeps " + Count(count, "empty file record", "empty file records"));
        }

        // Keys that SETUP.EXE never asks for.
        if (outline != nullptr) {
            std::set<std::string> seen;
            for (const OutlineKey& key : outline->keys) {
                if (IsComment(key.name) || !key.hasValue || !seen.insert(Upper(key.name)).second) {
                    continue;
                }
                const bool decimal = !key.name.empty() && key.name.size() <= 5 &&
                                     key.name.find_first_not_of("0123456789") == std::string::npos;
                if (!decimal || key.name[0] == '0') {
                    Warn(out, key.line,
                         SectionName(section) + " key " + Quoted(key.name) +
                             " is never read: SETUP.EXE asks for the keys 1 to " +
                             std::to_string(count) + ", in decimal without leading zeros");
                } else if (std::stoi(key.name) > count) {
                    Warn(out, key.line,
                         SectionName(section) + " " + key.name + " is beyond " + countText +
                             ": SETUP.EXE never reads it");
                }
            }
        }

        // The keys it asks for: missing ones in runs, then every line read.
        int missingFrom = 0;
        const auto flushMissing = [&](int upTo) {
            if (missingFrom == 0 || outline == nullptr) {
                missingFrom = 0;
                return;
            }
            const std::string keys = missingFrom == upTo
                                         ? "key " + std::to_string(missingFrom)
                                         : "keys " + std::to_string(missingFrom) + " to " +
                                               std::to_string(upTo);
            Warn(out, outline->line,
                 SectionName(section) + " has no " + keys + ", although " + countText +
                     ": SETUP.EXE keeps " +
                     (missingFrom == upTo ? std::string("an empty file record")
                                          : std::to_string(upTo - missingFrom + 1) +
                                                " empty file records") +
                     " and still counts " + (missingFrom == upTo ? "it" : "them"));
            missingFrom = 0;
        };

        for (int j = 1; j <= count; ++j, ++recordIndex) {
            const FileRecord& record = model.files[recordIndex];
            const KeySource& source = record.source;
            const std::string name = SectionName(section) + " " + std::to_string(j) + ": ";
            if (!source.hasValue) {
                if (missingFrom == 0) {
                    missingFrom = j;
                }
                continue;
            }
            flushMissing(j - 1);
            if (source.read.empty()) {
                Warn(out, source.line,
                     name + "the file line is empty: SETUP.EXE keeps an empty file record and "
                            "still counts it");
                continue;
            }
            const std::string& line = source.read;
            if (source.written != line) {
                Warn(out, source.line,
                     name + "the file line has " + std::to_string(source.written.size()) +
                         " characters; SETUP.EXE reads 127 (" + Quoted(line) + ")");
            }
            if (source.raw.size() >= 2 && (source.raw[0] == '"' || source.raw[0] == '\'') &&
                source.raw.back() == source.raw[0]) {
                Warn(out, source.line,
                     name + "the whole line stands in quotes: the profile reader drops the "
                            "outer pair, which changes the fields (" +
                         Quoted(line) + ")");
            }

            // The fields as the loader splits them.
            std::vector<std::string> fields;
            const char* next = line.c_str();
            char field[kFieldSize];
            do {
                next = SplitField(next, field);
                fields.emplace_back(field);
            } while (*next != '\0');
            if (line.back() == ',') {
                fields.emplace_back();
            }
            const FileEntry& entry = record.entry;

            if (fields.size() > 4) {
                std::string rest;
                for (std::size_t f = 4; f < fields.size(); ++f) {
                    rest += (f > 4 ? "," : "") + fields[f];
                }
                Warn(out, source.line,
                     name + "the line has " + std::to_string(fields.size()) +
                         " fields; SETUP.EXE reads 4 and ignores " + Quoted(rest) +
                         " (a comma inside a field needs double quotes around the field)");
            }

            // A name is taken as the loader cuts it; an empty one, or one that leads out of its
            // folder, means that nothing is copied.
            const auto nameRefused = [&](const std::string& written, const char* kept,
                                         const std::string& what, const char* folder) {
                if (written.empty()) {
                    Warn(out, source.line,
                         name + "the " + what + " is empty: SETUP.EXE reports the file as not "
                                               "copied");
                    return true;
                }
                if (!StaysInsideFolder(kept)) {
                    Warn(out, source.line,
                         name + what + " " + Quoted(kept) + " leads out of " + folder +
                             ": SETUP.EXE refuses it and reports the file as not copied");
                    return true;
                }
                WarnCut(out, source.line, name + what, written, kept, "SETUP.EXE");
                return false;
            };
            if (!nameRefused(fields[0], entry.sourceName, "source name", "the medium's folder") &&
                !IsEightDotThree(entry.sourceName)) {
                Warn(out, source.line,
                     name + "source name " + Quoted(entry.sourceName) +
                         " is not an 8.3 name; a medium without long file names cannot hold it");
            }
            nameRefused(fields.size() > 1 ? fields[1] : "", entry.targetName, "target name",
                        "its folder");
            if (fields.size() > 2) {
                WarnCut(out, source.line, name + "description", fields[2], entry.description,
                        "SETUP.EXE");
            }

            const std::string directoryKey = fields.size() > 3 ? fields[3] : "";
            const int key = MatchDirectoryKey(directoryKey.c_str(), kDirectoryKeys);
            if (key < 0) {
                Warn(out, source.line,
                     name +
                         (directoryKey.empty()
                              ? std::string("the line has no directory key")
                              : "directory key " + Quoted(directoryKey) +
                                    " is none of RootDir, SubDir1 to SubDir6, WinDir, "
                                    "WinSystemDir, WinInfDir") +
                         ": SETUP.EXE copies the file into the destination directory itself");
            } else if (key > 0 && key < kFirstWindowsKey &&
                       settings.directoryNames[key][0] == '\0') {
                Warn(out, source.line,
                     name + "directory key " + kDirectoryKeys[key] +
                         " has no value in [DirectoryName]: SETUP.EXE copies the file into the "
                         "destination directory itself");
            } else if (key >= kFirstWindowsKey && entry.targetDir[0] != '\0') {
                std::string whole = model.assumptions.windowsDir;
                whole += key == kFirstWindowsKey + 1 ? "\\SYSTEM"
                         : key == kFirstWindowsKey + 2 ? "\\INF"
                                                       : "";
                WarnCut(out, source.line, name + "the target folder", whole, entry.targetDir,
                        "the file record");
            }

            // The target path, with the default destination.
            if (entry.targetName[0] != '\0') {
                char path[kPathSize];
                std::string whole = entry.absoluteTarget != 0
                                        ? std::string(entry.targetDir)
                                        : std::string(settings.destDir) + "\\" + entry.targetDir;
                whole += "\\";
                whole += entry.targetName;
                if (!BuildTargetPath(settings.destDir, entry, path, sizeof path)) {
                    Warn(out, source.line,
                         name + "the target path " + Quoted(whole) + " has " +
                             std::to_string(whole.size()) +
                             " characters with the default destination; SETUP.EXE copies to "
                             "paths of at most 79");
                }
                const auto [first, isFirst] =
                    targets.emplace(Upper(whole), Target{d, j, source.line});
                if (!isFirst) {
                    Warn(out, source.line,
                         name + "the same target " + Quoted(whole) + " as " +
                             SectionName(kDiskNames[first->second.disk]) + " " +
                             std::to_string(first->second.number) + " (line " +
                             std::to_string(first->second.line) +
                             "): the later copy overwrites the earlier");
                }
            }
        }
        flushMissing(count);
    }

    // UNINSTAL.EXE removes what the copy of the script beside it names, and nothing without one.
    for (const FileRecord& program : model.files) {
        if (!EqualsNoCase(program.entry.targetName, kUninstallProgram)) {
            continue;
        }
        bool beside = false;
        for (const FileRecord& info : model.files) {
            beside = beside || (EqualsNoCase(info.entry.targetName, kUninstallInfo) &&
                                info.entry.absoluteTarget == program.entry.absoluteTarget &&
                                EqualsNoCase(info.entry.targetDir, program.entry.targetDir));
        }
        if (!beside) {
            Warn(out, program.source.line,
                 SectionName(kDiskNames[program.disk]) + " " + std::to_string(program.number) +
                     ": the script installs UNINSTAL.EXE without UNINSTAL.INF beside it, so the "
                     "uninstaller cannot tell what to remove; add a record such as "
                     "\"SETUP.INF,UNINSTAL.INF,Uninstall information," +
                     DirectoryKeyOf(program) + "\"");
        }
    }
}

} // namespace checker
