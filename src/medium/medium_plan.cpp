#include "medium/medium_plan.h"

#include <map>

#include "checker/checks.h"
#include "checker/script_names.h"
#include "base/bounded_text.h"

namespace medium {

namespace {

using checker::EqualsNoCase;
using checker::Quoted;

// A name that reaches into another folder: the medium is one folder, and its originals are
// looked up in one.
bool IsPlainFileName(std::string_view name)
{
    return name.find_first_of("\\/:") == std::string_view::npos && name != "." && name != "..";
}

// A name as the FAT file system compares it.
std::string FoldedName(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded) {
        c = AsciiUpper(c);
    }
    return folded;
}

std::string CompressedNameOf(std::string_view target)
{
    std::string name(target);
    if (!name.empty()) {
        name.back() = '_';
    }
    return name;
}

// What is wrong with a record's pair of names, or nothing.
std::string PairingProblem(std::string_view source, std::string_view target)
{
    if (target.empty()) {
        return "the source " + Quoted(source) +
               " has no target name, so no original to make it from";
    }
    for (const std::string_view name : {source, target}) {
        if (!IsPlainFileName(name)) {
            return Quoted(name) + " is not a plain file name: the medium is one folder, "
                                  "SETUP.EXE beside its files";
        }
    }
    if (EqualsNoCase(source, kSetupExeName)) {
        return "the source " + Quoted(source) + " would replace the medium's own " +
               std::string(source);
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

MediumPlan PlanMedium(const checker::ScriptModel& model)
{
    MediumPlan plan;
    std::map<std::string, std::size_t> planned; // folded source name -> its file in the plan
    for (const checker::FileRecord& record : model.files) {
        const std::string source = record.entry.sourceName;
        const std::string target = record.entry.targetName;
        if (source.empty()) {
            continue; // SETUP.EXE copies nothing for it
        }
        if (EqualsNoCase(source, kScriptName)) {
            continue; // the script itself (as UNINSTAL.INF for the uninstaller), there anyway
        }
        const std::string name = checker::SectionName(checker::kDiskNames[record.disk]) + " " +
                                 std::to_string(record.number);
        const std::string where = name + ": ";
        const std::size_t line = record.source.line;
        if (const std::string problem = PairingProblem(source, target); !problem.empty()) {
            checker::Warn(plan.errors, line, where + problem);
            continue;
        }
        const Packing packing = EqualsNoCase(source, target) ? Packing::Copy : Packing::Compress;

        // A source that two records name is one file: they must make it from one original.
        const auto [known, added] = planned.try_emplace(FoldedName(source), plan.files.size());
        if (added) {
            plan.files.push_back(PlannedFile{line, name, source, target, packing});
            continue;
        }
        const PlannedFile& earlier = plan.files[known->second];
        if (!EqualsNoCase(earlier.targetName, target)) {
            checker::Warn(plan.errors, line,
                          where + "the source " + Quoted(source) + " is made from " +
                              Quoted(target) + ", but line " + std::to_string(earlier.line) +
                              " makes it from " + Quoted(earlier.targetName));
        }
    }
    return plan;
}

} // namespace medium
