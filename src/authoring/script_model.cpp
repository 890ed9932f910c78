#include "authoring/script_model.h"

#include "authoring/script_text_reader.h"
#include "base/bounded_text.h"
#include "script/profile_reader.h"
#include "script/read_script.h"
#include "script/scanners.h"
#include "script/script_names.h"

namespace authoring {

namespace {

std::string ReaderResult(const ProfileLine* found, const char* fallback, std::size_t capacity)
{
    std::string out(capacity, '\0');
    out.resize(ReadProfileValue(found, fallback, out.data(), capacity));
    return out;
}

// The project's reader, noting for every key that the loader asks for where its value came from
// and what it was before the reader cut it.
class RecordingReader : public ScriptTextReader {
public:
    RecordingReader(std::string_view text,
                    std::map<std::pair<std::string, std::string>, KeySource>& sources)
        : ScriptTextReader(text), sources_(sources)
    {
    }

    void ReadText(const char* section, const char* key, const char* fallback, char* out,
                  std::size_t size)
    {
        Record(section, key, fallback, size);
        ScriptTextReader::ReadText(section, key, fallback, out, size);
    }

    std::int32_t ReadNumber(const char* section, const char* key, std::int32_t fallback)
    {
        KeySource& source = Record(section, key, "", kProfileNumberSize);
        source.number = ScriptTextReader::ReadNumber(section, key, fallback);
        return source.number;
    }

private:
    // `size` is the buffer that the loader passes.
    KeySource& Record(const char* section, const char* key, const char* fallback,
                      std::size_t size)
    {
        KeySource& source = sources_[{section, key}];
        source = KeySource{};
        const ProfileLine* found = Find(section, key);
        std::size_t whole = TextLength(fallback);
        if (found != nullptr) {
            source.present = true;
            source.line = found->number;
            if (found->value != nullptr) {
                source.hasValue = true;
                source.raw.assign(found->value, found->valueLength);
                whole = found->valueLength;
            }
        }
        source.written = ReaderResult(found, fallback, whole + 2);
        source.read = ReaderResult(found, fallback, size);
        return source;
    }

    std::map<std::pair<std::string, std::string>, KeySource>& sources_;
};

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

    RecordingReader reader(text, model.sources);
    FileEntry* diskFiles[kDiskSlots] = {};
    if (!ReadSetupScript(reader, assumptions.windowsDir.c_str(),
                         assumptions.programFilesDir.c_str(), model.settings, diskFiles)) {
        model.loadFails = true;
        return;
    }

    const ScriptSettings& settings = model.settings;
    for (int d = 0; d < settings.diskCount; ++d) {
        for (int j = 1; j <= settings.fileCounts[d]; ++j) {
            FileRecord record;
            record.disk = d;
            record.number = j;
            record.source = Source(model, kDiskNames[d], std::to_string(j));
            record.fields = SplitFields(record.source.read);
            record.entry = diskFiles[d][j - 1];
            model.files.push_back(std::move(record));
        }
    }
}

std::vector<LineField> SplitFields(const std::string& line)
{
    std::vector<LineField> fields;
    if (line.empty()) {
        return fields;
    }
    const char* next = line.c_str();
    char field[kFieldSize];
    do {
        const std::size_t uncut = UncutFieldLength(next);
        next = SplitField(next, field);
        fields.push_back(LineField{field, uncut});
    } while (*next != '\0');
    if (line.back() == ',') {
        fields.emplace_back();
    }
    return fields;
}

const std::string& FileRecord::Field(std::size_t index) const
{
    static const std::string kNone;
    return index < fields.size() ? fields[index].text : kNone;
}

std::string RecordName(const FileRecord& record)
{
    return "[" + std::string(kDiskNames[record.disk]) + "] " + std::to_string(record.number);
}

const KeySource& Source(const ScriptModel& model, std::string_view section, std::string_view key)
{
    static const KeySource kNeverRead;
    const auto found = model.sources.find({std::string(section), std::string(key)});
    return found != model.sources.end() ? found->second : kNeverRead;
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

} // namespace authoring
