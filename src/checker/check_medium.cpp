// The files that the script names, looked up on the medium (or among the originals that a medium
// is laid out from).
#include "checker/check_helpers.h"
#include "script/install_locations.h"
#include "script/script_names.h"
#include "szdd/szdd_reader.h"

namespace checker {

namespace {

// mscompress writes corrupt output for files this short.
constexpr std::size_t kShortestCompressible = 16;

bool EndsWithUnderscore(std::string_view name)
{
    return !name.empty() && name.back() == '_';
}

std::uint64_t Kilobytes(std::uint64_t bytes)
{
    return (bytes + 1023) / 1024;
}

// The original of a record among the originals, under its target name as the line writes it.
// Returns the kilobytes it takes.
std::uint64_t CheckOriginal(const FileRecord& record, const Medium& medium, Diagnostics& out)
{
    const std::string name = RecordName(record) + ": ";
    const std::string& original = record.Field(kTargetField);
    const auto bytes = medium.read(original);
    if (!bytes) {
        Warn(out, record.source.line,
             name + "the original " + Quoted(original) + " is not in " + medium.folder);
        return 0;
    }
    if (EndsWithUnderscore(record.entry.sourceName) && bytes->size() < kShortestCompressible) {
        Warn(out, record.source.line,
             name + "the original " + Quoted(original) + " has " + std::to_string(bytes->size()) +
                 " bytes, too few to compress with mscompress, which writes corrupt output for "
                 "files under 16 bytes; keep it plain, or build the medium with setup-medium");
    }
    return Kilobytes(bytes->size());
}

// A record's file on the medium, as the LZ calls will read it. Returns the kilobytes it takes
// once it is installed.
std::uint64_t CheckMediumFile(const FileRecord& record, const Medium& medium, Diagnostics& out)
{
    const std::string name = RecordName(record) + ": ";
    const std::string source = record.entry.sourceName;
    const std::size_t line = record.source.line;
    const auto bytes = medium.read(source);
    if (!bytes) {
        Warn(out, line, name + Quoted(source) + " is not on the medium (" + medium.folder + ")");
        return 0;
    }
    std::uint32_t expanded = 0;
    switch (szdd::ReadSzddHeader(bytes->data(), bytes->size(), expanded)) {
    case szdd::SzddKind::Plain:
        if (EndsWithUnderscore(source)) {
            Warn(out, line,
                 name + Quoted(source) + " is not LZ-compressed (it has no SZDD header): "
                                         "SETUP.EXE copies it unexpanded to " +
                     Quoted(record.entry.targetName));
        }
        return Kilobytes(bytes->size());
    case szdd::SzddKind::HeaderCut:
        Warn(out, line,
             name + Quoted(source) + " begins like an LZ-compressed file, but its header is cut "
                                     "short, so its expanded size cannot be read; SETUP.EXE "
                                     "copies it unexpanded");
        return Kilobytes(bytes->size());
    case szdd::SzddKind::UnknownMode:
        Warn(out, line,
             name + Quoted(source) + " is compressed in a mode other than \"A\", which "
                                     "SETUP.EXE's LZ calls cannot expand: the file is not copied");
        return 0;
    case szdd::SzddKind::Compressed:
        break;
    }
    const std::uint64_t actual =
        szdd::SzddExpandedLength(bytes->data(), bytes->size(), std::uint64_t{expanded} + 1);
    if (actual != expanded) {
        Warn(out, line,
             name + Quoted(source) + " is damaged: its header gives " + std::to_string(expanded) +
                 " bytes expanded, but it expands to " +
                 (actual > expanded ? "more" : std::to_string(actual) + " bytes"));
    }
    return Kilobytes(expanded);
}

} // namespace

void CheckMedium(const ScriptModel& model, const Medium& medium, Diagnostics& out)
{
    if (medium.layout == MediumLayout::None || !medium.read) {
        return;
    }
    std::uint64_t totalKb = 0;
    for (const FileRecord& record : model.files) {
        // Only the records that SETUP.EXE copies need a file; a record of the script itself
        // needs no file of its own.
        if (!IsCopiedRecord(record.entry) || EqualsNoCase(record.entry.sourceName, kScriptName)) {
            continue;
        }
        totalKb += medium.layout == MediumLayout::Originals ? CheckOriginal(record, medium, out)
                                                            : CheckMediumFile(record, medium, out);
    }
    const std::int16_t minimum = model.settings.minimumSpaceKb;
    if (minimum >= 0 && totalKb > static_cast<std::uint64_t>(minimum)) {
        Warn(out,
             KeyOrSectionLine(model, Source(model, kMainSection, kMinimumSpaceKey), kMainSection),
             "[Main] MinimumSpace is " + std::to_string(minimum) +
                 " KB, but the files that SETUP.EXE installs take " + std::to_string(totalKb) +
                 " KB expanded");
    }
}

} // namespace checker
