// [DirectoryName]: cut values, values that are never used, subdirectories that cannot be made.
#include "checker/check_helpers.h"
#include "checker/script_names.h"
#include "install/copy_progress.h"
#include "script/scanners.h"
#include "script/script_rules.h"

namespace checker {

namespace {

// The path components of a directory value, without empty ones.
std::vector<std::string> PathParts(std::string_view path)
{
    std::vector<std::string> parts;
    std::string part;
    for (const char c : path) {
        if (c == '\\') {
            if (!part.empty()) {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) {
        parts.push_back(part);
    }
    return parts;
}

std::string JoinParts(const std::vector<std::string>& parts, std::size_t count)
{
    std::string path;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            path += '\\';
        }
        path += parts[i];
    }
    return path;
}

} // namespace

void CheckDirectories(const ScriptModel& model, Diagnostics& out)
{
    const ScriptSettings& settings = model.settings;
    std::vector<bool> used(kDirectoryKeyCount, false);
    for (const FileRecord& record : model.files) {
        if (record.source.read.empty()) {
            continue;
        }
        const int key = MatchDirectoryKey(DirectoryKeyOf(record).c_str(), kDirectoryKeys);
        if (key >= 0) {
            used[key] = true;
        }
    }

    constexpr std::size_t kRecordDirectory = sizeof(FileEntry{}.targetDir) - 1;
    for (int i = 0; i < kDirectoryKeyCount; ++i) {
        const KeySource& source = Source(model, kDirectoryNameSection, kDirectoryKeys[i]);
        const std::string name = KeyName(kDirectoryNameSection, kDirectoryKeys[i]);
        if (!source.hasValue) {
            continue;
        }
        const std::string value = settings.directoryNames[i];
        if (i >= kFirstWindowsKey) {
            if (!value.empty()) {
                static constexpr const char* kWhere[] = {"the Windows directory",
                                                         "its SYSTEM folder", "its INF folder"};
                Warn(out, source.line,
                     name + " " + Quoted(value) + " is not used: files with " +
                         kDirectoryKeys[i] + " go to " + kWhere[i - kFirstWindowsKey] +
                         " whatever its value");
            }
            continue;
        }
        if (!StaysInsideFolder(value.c_str())) {
            Warn(out, source.line,
                 name + " " + Quoted(value) +
                     " leads out of the destination directory: SETUP.EXE refuses it" +
                     (i > 0 ? ", makes no folder for it" : "") +
                     " and reports the files aimed at it as not copied");
            continue;
        }
        if (source.written != value) {
            WarnCut(out, source.line, name, source.written, value, "SETUP.EXE",
                    value.size() > kRecordDirectory
                        ? std::string_view("; file records keep 39 of them")
                        : std::string_view{});
        } else if (value.size() > kRecordDirectory) {
            WarnCut(out, source.line, name, value, value.substr(0, kRecordDirectory),
                    "each file record");
        }
        if (i == 0 || value.empty()) {
            continue;
        }
        // The copy page makes SubDir1 to SubDir6 one level each, in that order.
        char folder[kPathSize];
        if (!BuildSubdirectoryPath(settings.destDir, value.c_str(), folder, sizeof folder)) {
            const std::string whole = std::string(settings.destDir) + "\\" + value;
            Warn(out, source.line,
                 name + ": the folder " + Quoted(whole) + " has " +
                     std::to_string(whole.size()) +
                     " characters with the default destination; SETUP.EXE makes folders of at "
                     "most 79");
        }
        const std::vector<std::string> parts = PathParts(value);
        for (std::size_t level = 1; level < parts.size(); ++level) {
            const std::string parent = JoinParts(parts, level);
            bool made = false;
            for (int earlier = 1; earlier < i; ++earlier) {
                const std::vector<std::string> other = PathParts(settings.directoryNames[earlier]);
                made = made || EqualsNoCase(JoinParts(other, other.size()), parent);
            }
            if (!made) {
                Warn(out, source.line,
                     name + " " + Quoted(value) + " needs the folder " + Quoted(parent) +
                         ", which no earlier SubDir makes: SETUP.EXE makes one level per "
                         "SubDir, so this folder and the files aimed at it fail");
                break;
            }
        }
    }

    // RootDir names a folder below the destination that only a SubDir can make.
    const std::string root = settings.directoryNames[0];
    if (!root.empty() && used[0] && StaysInsideFolder(root.c_str())) {
        const std::vector<std::string> parts = PathParts(root);
        bool made = parts.empty();
        for (int k = 1; k < kFirstWindowsKey; ++k) {
            const std::vector<std::string> other = PathParts(settings.directoryNames[k]);
            made = made || (!other.empty() && EqualsNoCase(JoinParts(other, other.size()),
                                                           JoinParts(parts, parts.size())));
        }
        if (!made) {
            Warn(out, Source(model, kDirectoryNameSection, kDirectoryKeys[0]).line,
                 "[DirectoryName] RootDir " + Quoted(root) +
                     " is never made (only SubDir1 to SubDir6 are): the files with RootDir fail "
                     "unless that folder exists");
        }
    }
}

} // namespace checker
