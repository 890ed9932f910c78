// [DirectoryName]: cut values, values that are never used, subdirectories that cannot be made.
#include "checker/check_helpers.h"
#include "script/script_names.h"
#include "script/script_rules.h"

namespace checker {

namespace {

// The characters of a directory value that a file record keeps.
constexpr std::size_t kRecordDirectory = sizeof(FileEntry{}.targetDir) - 1;

// The path components of a directory value, without empty ones.
std::vector<std::string> PathParts(std::string_view path)
{
    std::vector<std::string> parts;
    std::string part;
    for (const char c : path) {
        if (c != '\\') {
            part += c;
            continue;
        }
        if (!part.empty()) {
            parts.push_back(part);
        }
        part.clear();
    }
    if (!part.empty()) {
        parts.push_back(part);
    }
    return parts;
}

// The first `count` components, joined by single backslashes.
std::string JoinParts(const std::vector<std::string>& parts, std::size_t count)
{
    std::string path;
    for (std::size_t i = 0; i < count; ++i) {
        path += (i > 0 ? "\\" : "") + parts[i];
    }
    return path;
}

// True when one of SubDir1 to SubDir(before - 1) makes the folder `path` (a value of it).
bool MadeBySubDir(const ScriptSettings& settings, const std::string& path, int before)
{
    for (int k = 1; k < before; ++k) {
        const std::vector<std::string> parts = PathParts(settings.directoryNames[k]);
        if (!parts.empty() && EqualsNoCase(JoinParts(parts, parts.size()), path)) {
            return true;
        }
    }
    return false;
}

// A value of WinDir, WinSystemDir or WinInfDir, which SETUP.EXE never uses.
void CheckWindowsValue(const ScriptModel& model, int key, const KeySource& source,
                       Diagnostics& out)
{
    static constexpr const char* kWhere[] = {"the Windows directory", "its SYSTEM folder",
                                             "its INF folder"};
    const std::string value = model.settings.directoryNames[key];
    if (!value.empty()) {
        Warn(out, source.line,
             KeyName(kDirectoryNameSection, kDirectoryKeys[key]) + " " + Quoted(value) +
                 " is not used: files with " + kDirectoryKeys[key] + " go to " +
                 kWhere[key - kFirstWindowsKey] + " whatever its value");
    }
}

// RootDir or a SubDir: one that leads out, or is cut by the reader or by the file records. True
// when the value stays inside the destination.
bool CheckDestinationValue(const ScriptModel& model, int key, const KeySource& source,
                           Diagnostics& out)
{
    const std::string name = KeyName(kDirectoryNameSection, kDirectoryKeys[key]);
    const std::string value = model.settings.directoryNames[key];
    if (!StaysInsideFolder(value.c_str())) {
        Warn(out, source.line,
             name + " " + Quoted(value) +
                 " leads out of the destination directory: SETUP.EXE refuses it" +
                 (key > 0 ? ", makes no folder for it" : "") +
                 " and reports the files aimed at it as not copied");
        return false;
    }
    const bool recordsCut = value.size() > kRecordDirectory;
    if (source.written != value) {
        WarnCut(out, source.line, name, source.written, value, "SETUP.EXE",
                recordsCut ? std::string_view("; file records keep 39 of them") : "");
    } else if (recordsCut) {
        WarnCut(out, source.line, name, value, value.substr(0, kRecordDirectory),
                "each file record");
    }
    return true;
}

// The copy page makes SubDir1 to SubDir6 one level each, in that order: every folder above a
// SubDir must be an earlier one.
void CheckParentsMade(const ScriptModel& model, int key, const KeySource& source,
                      Diagnostics& out)
{
    const std::string value = model.settings.directoryNames[key];
    const std::vector<std::string> parts = PathParts(value);
    for (std::size_t level = 1; level < parts.size(); ++level) {
        const std::string parent = JoinParts(parts, level);
        if (!MadeBySubDir(model.settings, parent, key)) {
            Warn(out, source.line,
                 KeyName(kDirectoryNameSection, kDirectoryKeys[key]) + " " + Quoted(value) +
                     " needs the folder " + Quoted(parent) +
                     ", which no earlier SubDir makes: SETUP.EXE makes one level per SubDir, so "
                     "this folder and the files aimed at it fail");
            return;
        }
    }
}

// RootDir names a folder below the destination that only a SubDir can make.
void CheckRootDirMade(const ScriptModel& model, Diagnostics& out)
{
    const std::string root = model.settings.directoryNames[0];
    const std::vector<std::string> parts = PathParts(root);
    if (parts.empty() || !StaysInsideFolder(root.c_str()) ||
        MadeBySubDir(model.settings, JoinParts(parts, parts.size()), kFirstWindowsKey)) {
        return;
    }
    for (const FileRecord& record : model.files) {
        if (MatchDirectoryKey(record.Field(kDirectoryField).c_str(), kDirectoryKeys) == 0) {
            Warn(out, Source(model, kDirectoryNameSection, kDirectoryKeys[0]).line,
                 "[DirectoryName] RootDir " + Quoted(root) +
                     " is never made (only SubDir1 to SubDir6 are): the files with RootDir fail "
                     "unless that folder exists");
            return;
        }
    }
}

} // namespace

void CheckDirectories(const ScriptModel& model, Diagnostics& out)
{
    for (int key = 0; key < kDirectoryKeyCount; ++key) {
        const KeySource& source = Source(model, kDirectoryNameSection, kDirectoryKeys[key]);
        if (!source.hasValue) {
            continue;
        }
        if (key >= kFirstWindowsKey) {
            CheckWindowsValue(model, key, source, out);
        } else if (CheckDestinationValue(model, key, source, out) && key > 0) {
            CheckParentsMade(model, key, source, out);
        }
    }
    CheckRootDirMade(model, out);
}

} // namespace checker
