#include "checker/checker.h"

namespace checker {

CheckReport CheckScript(std::string_view text, const CheckOptions& options)
{
    ScriptModel model;
    LoadScriptModel(text, options.assumptions, model);

    CheckReport report;
    CheckText(model, report.diagnostics);
    CheckStructure(model, report.diagnostics);
    CheckMain(model, report.diagnostics);
    CheckDisks(model, report.diagnostics);
    CheckDirectories(model, report.diagnostics);
    CheckFileLines(model, report.diagnostics);
    CheckMedium(model, options.medium, report.diagnostics);
    CheckRegistrySection(model, report.diagnostics);
    SortByLine(report.diagnostics);

    report.diskCount = model.settings.diskCount;
    report.fileCount = static_cast<int>(model.files.size());
    return report;
}

} // namespace checker
