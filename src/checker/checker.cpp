#include "checker/checker.h"

namespace checker {

CheckReport CheckModel(const ScriptModel& model, const Medium& medium)
{
    CheckReport report;
    CheckText(model, report.diagnostics);
    CheckStructure(model, report.diagnostics);
    CheckMain(model, report.diagnostics);
    CheckDisks(model, report.diagnostics);
    CheckDirectories(model, report.diagnostics);
    CheckDiskSections(model, report.diagnostics);
    CheckFileRecords(model, report.diagnostics);
    CheckTargets(model, report.diagnostics);
    CheckMedium(model, medium, report.diagnostics);
    report.floppies = CheckFloppySet(model, medium, report.diagnostics);
    CheckRegistrySection(model, report.diagnostics);
    SortByLine(report.diagnostics);

    report.diskCount = model.settings.diskCount;
    report.fileCount = static_cast<int>(model.files.size());
    return report;
}

CheckReport CheckScript(std::string_view text, const CheckOptions& options)
{
    ScriptModel model;
    LoadScriptModel(text, options.assumptions, model);
    return CheckModel(model, options.medium);
}

} // namespace checker
