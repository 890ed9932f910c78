// setup-inf-check (SETUPCHK.EXE on Windows): checks a SETUP.INF as SETUP.EXE reads it.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "checker/checker.h"
#include "checker/folder.h"

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

int Usage(const char* complaint)
{
    if (complaint != nullptr) {
        std::fprintf(stderr, "setup-inf-check: %s\n\n", complaint);
    }
    std::fputs(kUsage, complaint != nullptr ? stderr : stdout);
    return complaint != nullptr ? checker::kExitUnreadable : checker::kExitClean;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/' || folder.back() == '\\') {
        return folder + name;
    }
    return folder + "/" + name;
}

} // namespace

int main(int argc, char** argv)
{
    checker::CheckOptions options;
    std::string script;
    std::string mediumFolder;
    checker::MediumLayout layout = checker::MediumLayout::None;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "-h" || arg == "--help") {
            return Usage(nullptr);
        }
        if (arg == "--medium" || arg == "--originals") {
            if (!hasValue) {
                return Usage("a folder must follow --medium or --originals");
            }
            layout = arg == "--medium" ? checker::MediumLayout::Medium
                                       : checker::MediumLayout::Originals;
            mediumFolder = argv[++i];
        } else if (arg == "--windows-dir" || arg == "--program-files") {
            if (!hasValue) {
                return Usage("a directory must follow --windows-dir or --program-files");
            }
            (arg == "--windows-dir" ? options.assumptions.windowsDir
                                    : options.assumptions.programFilesDir) = argv[++i];
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return Usage(("unknown option " + std::string(arg)).c_str());
        } else if (script.empty()) {
            script = arg;
        } else {
            return Usage("give one script or medium folder");
        }
    }
    if (script.empty()) {
        return Usage("no script given");
    }

    if (checker::IsFolder(script)) {
        if (layout == checker::MediumLayout::None) {
            // A folder with a "files" subfolder is laid out as sample/ is: the script and the
            // originals that a medium is built from. Any other folder is a medium.
            const auto originals = checker::FindInFolder(script, "files", true);
            layout = originals ? checker::MediumLayout::Originals : checker::MediumLayout::Medium;
            mediumFolder = originals ? *originals : script;
        }
        const auto found = checker::FindInFolder(script, "SETUP.INF");
        if (!found) {
            std::fprintf(stderr, "%s: error: the folder holds no SETUP.INF\n", script.c_str());
            return checker::kExitUnreadable;
        }
        script = JoinPath(script, std::filesystem::path(*found).filename().string());
    }
    const auto bytes = checker::ReadFileBytes(script);
    if (!bytes) {
        std::fprintf(stderr, "%s: error: the script cannot be read\n", script.c_str());
        return checker::kExitUnreadable;
    }
    if (layout != checker::MediumLayout::None && !checker::IsFolder(mediumFolder)) {
        std::fprintf(stderr, "%s: error: no such folder\n", mediumFolder.c_str());
        return checker::kExitUnreadable;
    }

    options.medium.layout = layout;
    options.medium.folder = mediumFolder;
    options.medium.read = [&mediumFolder](const std::string& name) {
        const auto path = checker::FindInFolder(mediumFolder, name);
        return path ? checker::ReadFileBytes(*path) : std::nullopt;
    };

    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    const checker::CheckReport report = checker::CheckScript(text, options);
    for (const checker::Diagnostic& diagnostic : report.diagnostics) {
        std::printf("%s\n", checker::FormatDiagnostic(script, diagnostic).c_str());
    }
    if (report.diagnostics.empty()) {
        std::printf("%s: no warnings (%d %s, %d file %s)\n", script.c_str(), report.diskCount,
                    report.diskCount == 1 ? "disk" : "disks", report.fileCount,
                    report.fileCount == 1 ? "record" : "records");
    } else {
        std::printf("%s: %lu %s\n", script.c_str(),
                    static_cast<unsigned long>(report.diagnostics.size()),
                    report.diagnostics.size() == 1 ? "warning" : "warnings");
    }
    std::fflush(stdout);
    return checker::ExitStatusOf(report);
}
