#include "medium/medium_plan.h"

#include <map>

#include "authoring/names.h"
#include "script/script_names.h"

namespace medium {

using namespace authoring;

namespace {

// A name that reaches into another folder: the medium is one folder, and its originals are
// looked up in one.
bool IsPlainFileName(std::string_view name)
{
    return name.find_first_of("\\/:") == std::string_view::npos && name != "." && name != "..";
}

std::string CompressedNameOf(std::string_view target)
{
    std::string name(target);
    if (!name.empty()) {
        name.back() = '_';
    }
    return name;
}

// A name that the file line cut to its 14 characters, so that its file cannot be found or made.
std::string CutName(const FileRecord& record)
{
    const struct {
        const char* role;
        FileField field;
        const char* kept;
    } names[] = {{"source", kSourceField, record.entry.sourceName},
                 {"original", kTargetField, record.entry.targetName}};
    for (const auto& name : names) {
        const std::string& written = record.Field(name.field);
        if (written != name.kept) {
            return "the " + std::string(name.role) + " " + Quoted(written) +
                   " cannot be used: its name is longer than 8.3, and the file line keeps " +
                   std::to_string(sizeof record.entry.targetName - 1) +
                   " characters of a name (" + Quoted(name.kept) + ")";
        }
    }
    return {};
}

// What is wrong with a record's pair of names, or nothing.
std::string PairingProblem(const FileRecord& record)
{
    const std::string source = record.entry.sourceName;
    const std::string target = record.entry.targetName;
    if (target.empty()) {
        return "the source " + Quoted(source) +
               " has no target name, so no original to make it from";
    }
    if (const std::string cut = CutName(record); !cut.empty()) {
        return cut;
    }
    for (const std::string_view name : {source, target}) {
        if (!IsPlainFileName(name)) {
            return Quoted(name) + " is not a plain file name: the medium is one folder, "
                                  "SETUP.EXE beside its files";
        }
    }
    if (!IsEightDotThree(target)) {
        return "the target " + Quoted(target) +
               " is not an 8.3 name: Windows 95 and 98 would bring it back under its 8.3 alias "
               "when it is replaced at their next start, so SETUP.EXE could not replace it "
               "while it is in use";
    }
    if (EqualsNoCase(source, kSetupName)) {
        return "the source " + Quoted(source) + " would replace the medium's own " + source;
    }
    if (EqualsNoCase(source, target) || IsCompressedNameOf(source, target)) {
        return {};
    }
    return "the source " + Quoted(source) + " is neither the target " + Quoted(target) +
           " nor its compressed name " + Quoted(CompressedNameOf(target)) +
           ", so there is no telling how to make it";
}

} // namespace

bool IsCompressedNameOf(std::string_view source, std::string_view target)
{
    return !source.empty() && source.size() == target.size() && source.back() == '_' &&
           EqualsNoCase(source.substr(0, source.size() - 1), target.substr(0, target.size() - 1));
}

MediumPlan PlanMedium(const ScriptModel& model)
{
    MediumPlan plan;
    std::map<std::string, std::size_t> planned; // upper-case source name -> its file in the plan
    for (const FileRecord& record : model.files) {
        const std::string source = record.entry.sourceName;
        const std::string target = record.entry.targetName;
        if (source.empty() || EqualsNoCase(source, kScriptName)) {
            continue; // nothing to copy, or the script itself, which the medium holds anyway
        }
        const std::string name = RecordName(record);
        const std::size_t line = record.source.line;
        if (const std::string problem = PairingProblem(record); !problem.empty()) {
            Warn(plan.errors, line, name + ": " + problem);
            continue;
        }
        const Packing packing = EqualsNoCase(source, target) ? Packing::Copy : Packing::Compress;

        // A source that two records name is one file: they must make it from one original.
        const auto [known, added] = planned.try_emplace(Upper(source), plan.files.size());
        if (added) {
            plan.files.push_back(PlannedFile{line, name, source, target, packing});
            continue;
        }
        const PlannedFile& earlier = plan.files[known->second];
        if (!EqualsNoCase(earlier.targetName, target)) {
            Warn(plan.errors, line,
                 name + ": the source " + Quoted(source) + " is made from " + Quoted(target) +
                     ", but line " + std::to_string(earlier.line) + " makes it from " +
                     Quoted(earlier.targetName));
        }
    }
    return plan;
}

} // namespace medium
