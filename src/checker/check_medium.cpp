// The files that the script names, looked up on the medium (or among the originals that a medium
// is laid out from).
#include "checker/checks.h"
#include "checker/script_names.h"
#include "szdd/szdd_reader.h"
#include "script/scanners.h"
#include "install/copy_progress.h"

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

} // namespace

void CheckMedium(const ScriptModel& model, const Medium& medium, Diagnostics& out)
{
    if (medium.layout == MediumLayout::None || !medium.read) {
        return;
    }
    std::uint64_t totalKb = 0;
    for (const FileRecord& record : model.files) {
        const FileEntry& entry = record.entry;
        // Only the records that SETUP.EXE copies need a file; a record of the script itself
        // (UNINSTAL.INF for the uninstaller) needs no file of its own.
        if (!IsCopiedRecord(entry) || EqualsNoCase(entry.sourceName, kScriptFile)) {
            continue;
        }
        const std::string name =
            SectionName(kDiskNames[record.disk]) + " " + std::to_string(record.number) + ": ";
        const std::size_t line = record.source.line;
        const std::string source = entry.sourceName;

        if (medium.layout == MediumLayout::Originals) {
            // The original carries the target name as written in the line.
            char field[kFieldSize];
            SplitField(SplitField(record.source.read.c_str(), field), field);
            const std::string original = field;
            const auto bytes = medium.read(original);
            if (!bytes) {
                Warn(out, line,
                     name + "the original " + Quoted(original) + " is not in " + medium.folder);
                continue;
            }
            if (EndsWithUnderscore(source) && bytes->size() < kShortestCompressible) {
                Warn(out, line,
                     name + "the original " + Quoted(original) + " has " +
                         std::to_string(bytes->size()) +
                         " bytes, too few to compress with mscompress, which writes corrupt "
                         "output for files under 16 bytes; keep it plain, or build the medium "
                         "with setup-medium");
            }
            totalKb += Kilobytes(bytes->size());
            continue;
        }

        const auto bytes = medium.read(source);
        if (!bytes) {
            Warn(out, line, name + Quoted(source) + " is not on the medium (" + medium.folder + ")");
            continue;
        }
        std::uint32_t expanded = 0;
        switch (szdd::ReadSzddHeader(bytes->data(), bytes->size(), expanded)) {
        case szdd::SzddKind::Plain:
            if (EndsWithUnderscore(source)) {
                Warn(out, line,
                     name + Quoted(source) +
                         " is not LZ-compressed (it has no SZDD header): SETUP.EXE copies it "
                         "unexpanded to " +
                         Quoted(entry.targetName));
            }
            totalKb += Kilobytes(bytes->size());
            break;
        case szdd::SzddKind::HeaderCut:
            Warn(out, line,
                 name + Quoted(source) +
                     " begins like an LZ-compressed file, but its header is cut short, so its "
                     "expanded size cannot be read; SETUP.EXE copies it unexpanded");
            totalKb += Kilobytes(bytes->size());
            break;
        case szdd::SzddKind::UnknownMode:
            Warn(out, line,
                 name + Quoted(source) +
                     " is compressed in a mode other than \"A\", which SETUP.EXE's LZ calls "
                     "cannot expand: the file is not copied");
            break;
        case szdd::SzddKind::Compressed: {
            const std::uint64_t actual =
                szdd::SzddExpandedLength(bytes->data(), bytes->size(), std::uint64_t{expanded} + 1);
            if (actual != expanded) {
                Warn(out, line,
                     name + Quoted(source) + " is damaged: its header gives " +
                         std::to_string(expanded) + " bytes expanded, but it expands to " +
                         (actual > expanded ? "more" : std::to_string(actual) + " bytes"));
            }
            totalKb += Kilobytes(expanded);
            break;
        }
        }
    }

    const std::int16_t minimum = model.settings.minimumSpaceKb;
    if (minimum >= 0 && totalKb > static_cast<std::uint64_t>(minimum)) {
        Warn(out, KeyOrSectionLine(model, Source(model, kMainSection, kMinimumSpaceKey),
                                   kMainSection),
             "[Main] MinimumSpace is " + std::to_string(minimum) +
                 " KB, but the files that SETUP.EXE installs take " + std::to_string(totalKb) +
                 " KB expanded");
    }
}

} // namespace checker
