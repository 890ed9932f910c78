#include "checker/script_model.h"

#include "checker/script_names.h"
#include "controller/bounded_text.h"
#include "script/profile_reader.h"
#include "script/script_rules.h"

namespace checker {

namespace {

std::string ReaderResult(const ProfileLine* found, const char* fallback, std::size_t capacity)
{
    std::string out(capacity, '\0');
    out.resize(ReadProfileValue(found, fallback, out.data(), capacity));
    return out;
}

// Reads one text key as the loader does (`readSize` is the buffer it passes) and notes where the
// value came from and what it was before the cut.
std::string ReadKey(std::string_view text, const char* section, const char* key,
                    const char* fallback, std::size_t readSize, KeySource& source)
{
    source = KeySource{};
    ProfileLine line;
    const bool found = FindProfileKey(text.data(), text.size(), section, key, line);
    std::size_t whole = TextLength(fallback);
    if (found) {
        source.present = true;
        source.line = line.number;
        if (line.value != nullptr) {
            source.hasValue = true;
            source.raw.assign(line.value, line.valueLength);
            whole = line.valueLength;
        }
    }
    const ProfileLine* foundLine = found ? &line : nullptr;
    source.written = ReaderResult(foundLine, fallback, whole + 2);
    source.read = ReaderResult(foundLine, fallback, readSize);
    return source.read;
}

std::int32_t ReadNumberKey(std::string_view text, const char* section, const char* key,
                           std::int32_t fallback, KeySource& source)
{
    ReadKey(text, section, key, "", kProfileNumberSize, source);
    return ReadProfileInt(text.data(), text.size(), section, key, fallback);
}

void BuildOutline(std::string_view text, std::vector<OutlineSection>& outline)
{
    outline.clear();
    outline.push_back(OutlineSection{});
    ProfileScan scan = StartProfileScan(text.data(), text.size());
    ProfileLine line;
    while (NextProfileLine(scan, line)) {
        if (line.kind == ProfileLineKind::Section) {
            outline.push_back(OutlineSection{std::string(line.name, line.nameLength),
                                             line.number, {}});
        } else if (line.kind == ProfileLineKind::Key) {
            OutlineKey key;
            key.name.assign(line.name, line.nameLength);
            key.hasValue = line.value != nullptr;
            if (key.hasValue) {
                key.raw.assign(line.value, line.valueLength);
            }
            key.line = line.number;
            outline.back().keys.push_back(std::move(key));
        }
    }
}

} // namespace

void LoadScriptModel(std::string_view text, const Assumptions& assumptions, ScriptModel& model)
{
    model = ScriptModel{};
    model.text = text;
    model.assumptions = assumptions;
    BuildOutline(text, model.outline);

    // The default destination, then [Main] in the loader's order.
    const std::string defaultPath = ReadKey(text, kMainSection, kDefaultPathKey,
                                            kDefaultPathDefault, kDefaultPathReadSize,
                                            model.defaultPath);
    BuildDefaultDestination(defaultPath.c_str(), assumptions.windowsDir.c_str(),
                            assumptions.programFilesDir.c_str(), model.destDir,
                            sizeof model.destDir);
    CopyText(model.productNameSlot,
             ReadKey(text, kMainSection, kProductNameKey, kProductNameDefault,
                     kProductNameReadSize, model.productName)
                 .c_str());
    CopyText(model.driverNameSlot,
             ReadKey(text, kMainSection, kDriverNameKey, kDriverNameDefault,
                     kDriverNameReadSize, model.driverName)
                 .c_str());
    model.oemData1Value =
        ReadNumberKey(text, kMainSection, kOemData1Key, kOemData1Default, model.oemData1);
    model.oemData2Value =
        ReadNumberKey(text, kMainSection, kOemData2Key, kOemData2Default, model.oemData2);
    model.minimumSpaceRead = ReadNumberKey(text, kMainSection, kMinimumSpaceKey,
                                           kMinimumSpaceDefault, model.minimumSpace);
    model.minimumSpaceKb = static_cast<std::int16_t>(model.minimumSpaceRead);

    for (int d = 0; d < kMaxDisks; ++d) {
        CopyText(model.diskLabels[d],
                 ReadKey(text, kDiskLabelSection, kDiskNames[d], "", kDiskLabelReadSize,
                         model.labels[d])
                     .c_str());
    }
    model.diskCount = CountDisks(model.diskLabels);

    for (int i = 0; i < kDirectoryKeyCount; ++i) {
        CopyText(model.directoryNames[i],
                 ReadKey(text, kDirectoryNameSection, kDirectoryKeys[i], "", kDirectoryReadSize,
                         model.directories[i])
                     .c_str());
    }

    for (int d = 0; d < model.diskCount; ++d) {
        model.countRead[d] =
            ReadNumberKey(text, kFileCountsSection, kDiskNames[d], 0, model.counts[d]);
        model.fileCounts[d] = static_cast<std::int16_t>(model.countRead[d]);
    }
    model.totalFiles = TotalFiles(model.fileCounts, model.diskCount);
    if (model.totalFiles < 0) {
        model.loadFails = true;
        return;
    }

    for (int d = 0; d < model.diskCount; ++d) {
        for (int j = 1; j <= model.fileCounts[d]; ++j) {
            FileRecord record;
            record.disk = d;
            record.number = j;
            const std::string key = std::to_string(j);
            const std::string line = ReadKey(text, kDiskNames[d], key.c_str(), "",
                                             kFileLineSize, record.source);
            if (!line.empty()) {
                FillFileEntry(line.c_str(), kDirectoryKeys, model.directoryNames,
                              assumptions.windowsDir.c_str(), record.entry);
            }
            model.files.push_back(std::move(record));
        }
    }
}

const OutlineSection* FindSection(const ScriptModel& model, std::string_view name)
{
    for (std::size_t i = 1; i < model.outline.size(); ++i) {
        const std::string& candidate = model.outline[i].name;
        if (candidate.size() == name.size() &&
            ProfileNameMatches(candidate.data(), candidate.size(), std::string(name).c_str())) {
            return &model.outline[i];
        }
    }
    return nullptr;
}

std::size_t SectionLine(const ScriptModel& model, std::string_view name)
{
    const OutlineSection* section = FindSection(model, name);
    return section != nullptr ? section->line : 0;
}

std::size_t KeyOrSectionLine(const ScriptModel& model, const KeySource& key,
                             std::string_view section)
{
    return key.line != 0 ? key.line : SectionLine(model, section);
}

} // namespace checker
