// The checker's command line: options, the script or medium folder, the report and the exit
// status. main() hands its arguments and the standard streams to RunCheckCommand.
#include "checker/command.h"

#include <filesystem>
#include <string>
#include <string_view>

#include "checker/checker.h"
#include "checker/folder.h"

namespace checker {

namespace {

constexpr char kUsage[] =
    "usage: setup-inf-check [options] SETUP.INF | MEDIUM-FOLDER\n"
    "\n"
    "Reads a setup script as SETUP.EXE reads it and reports, with file name and line number,\n"
    "everything that SETUP.EXE would do differently from what the author probably meant.\n"
    "A folder given in place of the script is a medium: its SETUP.INF is checked, and the\n"
    "files beside it; a folder with a subfolder \"files\" is taken as the originals of a\n"
    "medium (the layout of sample/), as with --originals.\n"
    "\n"
    "options:\n"
    "  --medium DIR          check the files that the script names in DIR, a medium's folder\n"
    "  --originals DIR       check them in DIR under their target names, uncompressed (the\n"
    "                        layout of sample/files, from which a medium is built)\n"
    "  --windows-dir DIR     the Windows directory to assume (default C:\\WINDOWS)\n"
    "  --program-files DIR   the Program Files directory to assume (default C:\\Program Files)\n"
    "  -h, --help            this text\n"
    "\n"
    "exit status: 0 no warnings, 1 warnings, 2 the script cannot be read (or bad usage)\n";

int Usage(const char* complaint, std::FILE* out, std::FILE* err)
{
    if (complaint != nullptr) {
        std::fprintf(err, "setup-inf-check: %s\n\n", complaint);
    }
    std::fputs(kUsage, complaint != nullptr ? err : out);
    return complaint != nullptr ? kExitUnreadable : kExitClean;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/' || folder.back() == '\\') {
        return folder + name;
    }
    return folder + "/" + name;
}

} // namespace

int RunCheckCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err)
{
    CheckOptions options;
    std::string script;
    std::string mediumFolder;
    MediumLayout layout = MediumLayout::None;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "-h" || arg == "--help") {
            return Usage(nullptr, out, err);
        }
        if (arg == "--medium" || arg == "--originals") {
            if (!hasValue) {
                return Usage("a folder must follow --medium or --originals", out, err);
            }
            layout = arg == "--medium" ? MediumLayout::Medium
                                       : MediumLayout::Originals;
            mediumFolder = argv[++i];
        } else if (arg == "--windows-dir" || arg == "--program-files") {
            if (!hasValue) {
                return Usage("a directory must follow --windows-dir or --program-files", out, err);
            }
            (arg == "--windows-dir" ? options.assumptions.windowsDir
                                    : options.assumptions.programFilesDir) = argv[++i];
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return Usage(("unknown option " + std::string(arg)).c_str(), out, err);
        } else if (script.empty()) {
            script = arg;
        } else {
            return Usage("give one script or medium folder", out, err);
        }
    }
    if (script.empty()) {
        return Usage("no script given", out, err);
    }

    if (IsFolder(script)) {
        if (layout == MediumLayout::None) {
            // A folder with a "files" subfolder is laid out as sample/ is: the script and the
            // originals that a medium is built from. Any other folder is a medium.
            const auto originals = FindInFolder(script, "files", true);
            layout = originals ? MediumLayout::Originals : MediumLayout::Medium;
            mediumFolder = originals ? *originals : script;
        }
        const auto found = FindInFolder(script, "SETUP.INF");
        if (!found) {
            std::fprintf(err, "%s: error: the folder holds no SETUP.INF\n", script.c_str());
            return kExitUnreadable;
        }
        script = JoinPath(script, std::filesystem::path(*found).filename().string());
    }
    const auto bytes = ReadFileBytes(script);
    if (!bytes) {
        std::fprintf(err, "%s: error: the script cannot be read\n", script.c_str());
        return kExitUnreadable;
    }
    if (layout != MediumLayout::None && !IsFolder(mediumFolder)) {
        std::fprintf(err, "%s: error: no such folder\n", mediumFolder.c_str());
        return kExitUnreadable;
    }

    options.medium.layout = layout;
    options.medium.folder = mediumFolder;
    options.medium.read = [&mediumFolder](const std::string& name) {
        const auto path = FindInFolder(mediumFolder, name);
        return path ? ReadFileBytes(*path) : std::nullopt;
    };

    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    const CheckReport report = CheckScript(text, options);
    for (const Diagnostic& diagnostic : report.diagnostics) {
        std::fprintf(out, "%s\n", FormatDiagnostic(script, diagnostic).c_str());
    }
    if (report.diagnostics.empty()) {
        std::fprintf(out, "%s: no warnings (%d %s, %d file %s)\n", script.c_str(),
                     report.diskCount, report.diskCount == 1 ? "disk" : "disks",
                     report.fileCount, report.fileCount == 1 ? "record" : "records");
    } else {
        std::fprintf(out, "%s: %lu %s\n", script.c_str(),
                     static_cast<unsigned long>(report.diagnostics.size()),
                     report.diagnostics.size() == 1 ? "warning" : "warnings");
    }
    std::fflush(out);
    return ExitStatusOf(report);
}

} // namespace checker
