// The checks of the keys that SETUP.EXE's loader reads through the profile reader.
#include <algorithm>
#include <map>
#include <set>

#include "checker/checks.h"
#include "checker/script_names.h"
#include "controller/bounded_text.h"
#include "install/copy_progress.h"
#include "script/scanners.h"
#include "script/script_rules.h"

namespace checker {

namespace {

std::string KeyName(std::string_view section, std::string_view key)
{
    return SectionName(section) + " " + std::string(key);
}

std::string Count(std::size_t n, std::string_view one, std::string_view many)
{
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

// "X "value" has N characters; SETUP.EXE keeps K ("kept")", when `kept` is shorter.
void WarnCut(Diagnostics& out, std::size_t line, const std::string& what,
             const std::string& written, const std::string& kept, std::string_view keeper,
             std::string_view note = {})
{
    if (written == kept) {
        return;
    }
    std::string message = what + " " + Quoted(written) + " has " +
                          Count(written.size(), "character", "characters") + "; " +
                          std::string(keeper) + " keeps " + std::to_string(kept.size()) + " (" +
                          Quoted(kept) + ")";
    if (!note.empty()) {
        message += std::string(note);
    }
    Warn(out, line, std::move(message));
}

bool IsComment(std::string_view name)
{
    return !name.empty() && name[0] == ';';
}

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

bool IsPlainDecimal(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    if (i == text.size()) {
        return false;
    }
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    return true;
}

// The exact value of a plain decimal text, saturated far beyond 32 bits.
long long DecimalValue(std::string_view text)
{
    long long value = 0;
    bool negative = false;
    for (const char c : text) {
        if (c == '-') {
            negative = true;
        } else if (c >= '0' && c <= '9' && value < (1LL << 40)) {
            value = value * 10 + (c - '0');
        }
    }
    return negative ? -value : value;
}

// An integer key: present but empty, not a plain number, or too large for 32 bits.
void CheckNumberKey(Diagnostics& out, std::string_view section, std::string_view key,
                    const KeySource& source, std::int32_t fallback)
{
    const std::int32_t read = source.number;
    if (!source.hasValue) {
        return;
    }
    const std::string name = KeyName(section, key);
    const std::string& written = source.written;
    if (written.empty()) {
        Warn(out, source.line,
             name + " is empty; SETUP.EXE uses its default " + std::to_string(fallback));
        return;
    }
    if (IsPlainDecimal(written)) {
        if (DecimalValue(written) != read) {
            Warn(out, source.line,
                 name + " " + Quoted(written) + " does not fit in 32 bits; SETUP.EXE reads " +
                     std::to_string(read));
        }
        return;
    }
    std::string message = name + " " + Quoted(source.raw) +
                          " is not a plain decimal number; SETUP.EXE reads " +
                          std::to_string(read);
    if (written.find("0x") != std::string::npos || written.find("0o") != std::string::npos ||
        written.find("0b") != std::string::npos) {
        message += " (a \"0x\", \"0o\" or \"0b\" prefix is not read alike by every version of "
                   "Windows)";
    }
    Warn(out, source.line, std::move(message));
}

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

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) {
        c = AsciiUpper(c);
    }
    return upper;
}

} // namespace

std::string SectionName(std::string_view name)
{
    return "[" + std::string(name) + "]";
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) {
            return false;
        }
    }
    return true;
}

bool IsEightDotThree(std::string_view name)
{
    const std::size_t dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || extension.size() > 3 ||
        extension.find('.') != std::string_view::npos) {
        return false;
    }
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x21 || std::string_view("\"*+,/:;<=>?[\\]|").find(c) != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

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

void CheckMain(const ScriptModel& model, Diagnostics& out)
{
    const ScriptSettings& settings = model.settings;
    const std::size_t mainLine = SectionLine(model, kMainSection);
    const auto line = [&](const KeySource& key) { return key.line != 0 ? key.line : mainLine; };

    // ProductName
    const KeySource& product = Source(model, kMainSection, kProductNameKey);
    if (!product.present) {
        Warn(out, mainLine,
             "[Main] has no ProductName; SETUP.EXE uses " + Quoted(kProductNameDefault));
    } else if (product.hasValue) {
        WarnCut(out, product.line, "[Main] ProductName", product.written, settings.productName,
                "SETUP.EXE");
        const std::string kept = settings.productName;
        if (kept.empty()) {
            Warn(out, product.line,
                 "[Main] ProductName is empty: the caption reads \" " +
                     std::string(kSetupProgramText) +
                     "\" and the uninstall entry is written into the Uninstall key itself");
        } else if (kept.find('\\') != std::string::npos) {
            Warn(out, product.line,
                 "[Main] ProductName " + Quoted(kept) +
                     " holds a backslash: the uninstall entry becomes a key several levels "
                     "below Uninstall");
        }
    }

    // DriverName: read up to 31 characters, kept in a slot of 19.
    const KeySource& driver = Source(model, kMainSection, kDriverNameKey);
    if (!driver.present) {
        Warn(out, mainLine,
             "[Main] has no DriverName; SETUP.EXE uses " + Quoted(kDriverNameDefault));
    } else if (driver.hasValue) {
        WarnCut(out, driver.line, "[Main] DriverName", driver.written, settings.driverName,
                "SETUP.EXE");
        if (settings.driverName[0] == '\0') {
            Warn(out, driver.line,
                 "[Main] DriverName is empty: every joystick driver key gets an empty OEM "
                 "callout");
        }
    }
    if (settings.driverName[0] != '\0' && !model.files.empty()) {
        bool installed = false;
        for (const FileRecord& record : model.files) {
            installed = installed || EqualsNoCase(record.entry.targetName, settings.driverName);
        }
        if (!installed) {
            Warn(out, line(driver),
                 "[Main] DriverName " + Quoted(settings.driverName) +
                     " is not the target name of any file that SETUP.EXE installs");
        }
    }

    // DefaultPath and the default destination built from it.
    const KeySource& path = Source(model, kMainSection, kDefaultPathKey);
    const Assumptions& assume = model.assumptions;
    if (!path.present) {
        Warn(out, mainLine,
             "[Main] has no DefaultPath; SETUP.EXE uses " + Quoted(kDefaultPathDefault) +
                 ", moved to the drive that holds Windows");
    } else if (path.hasValue) {
        WarnCut(out, path.line, "[Main] DefaultPath", path.written, path.read, "SETUP.EXE");
        const std::string& value = path.read;
        const std::string destination = settings.destDir;
        if (value.size() > 2 && value[1] == ':') {
            if (value[2] != '\\') {
                Warn(out, path.line,
                     "[Main] DefaultPath " + Quoted(value) +
                         " has no backslash after the drive: the destination " +
                         Quoted(destination) + " is no full path");
            } else if (!assume.windowsDir.empty() &&
                       AsciiUpper(value[0]) != AsciiUpper(assume.windowsDir[0])) {
                Warn(out, path.line,
                     "[Main] DefaultPath " + Quoted(value) +
                         " is moved to the drive that holds Windows: with Windows in " +
                         assume.windowsDir + " the destination is " + Quoted(destination));
            }
        } else if (value.empty()) {
            Warn(out, path.line,
                 "[Main] DefaultPath is empty: the destination is the Program Files directory "
                 "itself (" +
                     Quoted(destination) + ")");
        } else if (value.size() == 2 && value[1] == ':') {
            Warn(out, path.line,
                 "[Main] DefaultPath " + Quoted(value) +
                     " is a drive alone: SETUP.EXE joins it to the Program Files directory (" +
                     Quoted(destination) + ")");
        } else {
            Warn(out, path.line,
                 "[Main] DefaultPath " + Quoted(value) +
                     " has no drive: SETUP.EXE places it below the Program Files directory (" +
                     Quoted(destination) + ")");
        }
    }
    char wholeDestination[1024];
    BuildDefaultDestination(path.read.c_str(), assume.windowsDir.c_str(),
                            assume.programFilesDir.c_str(), wholeDestination,
                            sizeof wholeDestination);
    WarnCut(out, line(path), "the default destination", wholeDestination, settings.destDir,
            "SETUP.EXE");

    // The numbers.
    CheckNumberKey(out, kMainSection, kOemData1Key, Source(model, kMainSection, kOemData1Key),
                   kOemData1Default);
    CheckNumberKey(out, kMainSection, kOemData2Key, Source(model, kMainSection, kOemData2Key),
                   kOemData2Default);
    const KeySource& minimumSpace = Source(model, kMainSection, kMinimumSpaceKey);
    CheckNumberKey(out, kMainSection, kMinimumSpaceKey, minimumSpace, kMinimumSpaceDefault);
    if (minimumSpace.hasValue) {
        const std::int32_t read = minimumSpace.number;
        const std::int16_t kept = settings.minimumSpaceKb;
        if (read != kept) {
            std::string message = "[Main] MinimumSpace " + std::to_string(read) +
                                  " is kept in 16 bits as " + std::to_string(kept);
            if (kept < 0) {
                message += ": no drive has that much free space, and every destination fails";
            }
            Warn(out, minimumSpace.line, std::move(message));
        } else if (kept < 0) {
            Warn(out, minimumSpace.line,
                 "[Main] MinimumSpace " + std::to_string(read) +
                     " is negative: no drive has that much free space, and every destination "
                     "fails");
        }
    }
}

void CheckDisks(const ScriptModel& model, Diagnostics& out)
{
    const ScriptSettings& settings = model.settings;
    const std::size_t labelsLine = SectionLine(model, kDiskLabelSection);
    int firstEmpty = -1;
    for (int d = 0; d < kMaxDisks; ++d) {
        const KeySource& label = Source(model, kDiskLabelSection, kDiskNames[d]);
        const std::string name = KeyName(kDiskLabelSection, kDiskNames[d]);
        if (label.hasValue) {
            WarnCut(out, label.line, name, label.written, settings.diskLabels[d], "SETUP.EXE");
        }
        if (settings.diskLabels[d][0] == '\0') {
            if (firstEmpty < 0) {
                firstEmpty = d;
            }
            if (d < settings.diskCount) {
                Warn(out, label.line != 0 ? label.line : labelsLine,
                     name + " is empty, but SETUP.EXE counts " +
                         Count(settings.diskCount, "non-empty label", "non-empty labels") +
                         " and so still reads disk " + std::to_string(d + 1) + " of " +
                         SectionName(kDiskNames[d]));
            }
            continue;
        }
        if (d >= settings.diskCount) {
            Warn(out, label.line,
                 name + " comes after the empty " + kDiskNames[firstEmpty] + ": SETUP.EXE counts " +
                     Count(settings.diskCount, "non-empty label", "non-empty labels") +
                     ", reads disks 1 to " + std::to_string(settings.diskCount) +
                     " only, and never installs the files of " + SectionName(kDiskNames[d]));
        }
    }

    // Disk sections and counts that no label makes SETUP.EXE read.
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
                     Count(settings.diskCount, "disk", "disks") + " (one per non-empty label in "
                                                              "[DiskLabel])");
        }
    }
    if (settings.diskCount == 0 && (anyDiskSection || FindSection(model, kFileCountsSection))) {
        Warn(out, labelsLine,
             "[DiskLabel] has no non-empty label: SETUP.EXE counts no disk and installs no file");
    }

    // The counts of the counted disks.
    const std::size_t countsLine = SectionLine(model, kFileCountsSection);
    for (int d = 0; d < settings.diskCount; ++d) {
        const KeySource& count = Source(model, kFileCountsSection, kDiskNames[d]);
        const std::string name = KeyName(kFileCountsSection, kDiskNames[d]);
        if (!count.hasValue) {
            Warn(out, count.line != 0 ? count.line : countsLine != 0 ? countsLine : labelsLine,
                 std::string(countsLine != 0 ? "" : "[FileCounts] is missing: ") + name +
                     " is not set, so disk " + std::to_string(d + 1) +
                     " counts no file and none of " + SectionName(kDiskNames[d]) +
                     " is installed");
            continue;
        }
        CheckNumberKey(out, kFileCountsSection, kDiskNames[d], count, 0);
        const std::int32_t read = count.number;
        const std::int16_t kept = settings.fileCounts[d];
        if (read != kept) {
            Warn(out, count.line,
                 name + " " + std::to_string(read) + " is kept in 16 bits as " +
                     std::to_string(kept) + (kept <= 0 ? ": no file of this disk is installed"
                                                       : ""));
        } else if (kept < 0) {
            Warn(out, count.line,
                 name + " is negative: no file of disk " + std::to_string(d + 1) +
                     " is installed");
        }
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

void CheckDirectories(const ScriptModel& model, Diagnostics& out)
{
    const ScriptSettings& settings = model.settings;
    std::vector<bool> used(kDirectoryKeyCount, false);
    for (const FileRecord& record : model.files) {
        if (record.source.read.empty()) {
            continue;
        }
        char field[kFieldSize];
        const char* next = record.source.read.c_str();
        for (int i = 0; i < 4; ++i) {
            next = SplitField(next, field);
        }
        const int key = MatchDirectoryKey(field, kDirectoryKeys);
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
    if (!root.empty() && used[0]) {
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

            const std::string& sourceName = fields[0];
            if (sourceName.empty()) {
                Warn(out, source.line, name + "the source name is empty");
            } else {
                WarnCut(out, source.line, name + "source name", sourceName, entry.sourceName,
                        "SETUP.EXE");
                if (!IsEightDotThree(entry.sourceName)) {
                    Warn(out, source.line,
                         name + "source name " + Quoted(entry.sourceName) +
                             " is not an 8.3 name; a medium without long file names cannot "
                             "hold it");
                }
            }
            const std::string targetName = fields.size() > 1 ? fields[1] : "";
            if (targetName.empty()) {
                Warn(out, source.line, name + "the target name is empty");
            } else {
                WarnCut(out, source.line, name + "target name", targetName, entry.targetName,
                        "SETUP.EXE");
            }
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
}

} // namespace checker
