// The checker's command line: options, the script or medium folder, the report and the exit
// status. main() hands its arguments and the standard streams to RunCheckCommand.
#include "checker/command.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "authoring/folder.h"
#include "checker/check_helpers.h"
#include "checker/checker.h"
#include "script/script_names.h"

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
    "  --floppy-set          the medium is a set of floppies, one for each disk (as setup-medium\n"
    "                        --floppy-set writes it): report what each disk takes on its floppy\n"
    "                        (SETUP.EXE reckoned at its largest, 45056 bytes, when it is not in\n"
    "                        the folder)\n"
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
    return complaint != nullptr ? kExitCannotRun : kExitClean;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/' || folder.back() == '\\') {
        return folder + name;
    }
    return folder + "/" + name;
}

// What the command line asks for.
struct Request {
    std::string script; // a script, or a folder that holds one
    std::string mediumFolder;
    MediumLayout layout = MediumLayout::None;
    bool floppySet = false;
    Assumptions assumptions;
};

// Reads the arguments into `request`; returns the exit status when the command ends here.
std::optional<int> ParseArguments(int argc, const char* const* argv, Request& request,
                                  std::FILE* out, std::FILE* err)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "-h" || arg == "--help") {
            return Usage(nullptr, out, err);
        }
        if (arg == "--floppy-set") {
            request.floppySet = true;
        } else if (arg == "--medium" || arg == "--originals") {
            if (!hasValue) {
                return Usage("a folder must follow --medium or --originals", out, err);
            }
            request.layout = arg == "--medium" ? MediumLayout::Medium : MediumLayout::Originals;
            request.mediumFolder = argv[++i];
        } else if (arg == "--windows-dir" || arg == "--program-files") {
            if (!hasValue) {
                return Usage("a directory must follow --windows-dir or --program-files", out, err);
            }
            (arg == "--windows-dir" ? request.assumptions.windowsDir
                                    : request.assumptions.programFilesDir) = argv[++i];
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return Usage(("unknown option " + std::string(arg)).c_str(), out, err);
        } else if (request.script.empty()) {
            request.script = arg;
        } else {
            return Usage("give one script or medium folder", out, err);
        }
    }
    if (request.script.empty()) {
        return Usage("no script given", out, err);
    }
    return std::nullopt;
}

// A folder given for the script: its SETUP.INF, and the files beside it. A folder with a "files"
// subfolder is laid out as sample/ is: the script and the originals that a medium is built from.
// Any other folder is a medium. False when the folder holds no script.
bool TakeScriptFromFolder(Request& request, std::FILE* err)
{
    const std::string folder = request.script;
    if (request.layout == MediumLayout::None) {
        const auto originals = FindInFolder(folder, "files", true);
        request.layout = originals ? MediumLayout::Originals : MediumLayout::Medium;
        request.mediumFolder = originals ? *originals : folder;
    }
    const auto found = FindInFolder(folder, kScriptName);
    if (!found) {
        std::fprintf(err, "%s: error: the folder holds no %s\n", folder.c_str(), kScriptName);
        return false;
    }
    request.script = JoinPath(folder, std::filesystem::path(*found).filename().string());
    return true;
}

// "SCRIPT: disk 2 ("Label") on a 1.44 MB floppy: 4 files, 9216 of 1457664 bytes, 1448448 free".
void PrintFloppy(const std::string& script, const FloppyDisk& disk, std::FILE* out)
{
    const std::uint64_t taken = disk.use.dataBytes;
    const bool fits = taken <= kFloppyDataBytes;
    const std::string reckoned =
        " (SETUP.EXE reckoned at " + std::to_string(kSetupLargestSize) + " bytes)";
    std::fprintf(out, "%s: %s on a 1.44 MB floppy: %s, %llu of %llu bytes, %llu %s%s\n",
                 script.c_str(), FloppyDiskName(disk.disk, disk.label).c_str(),
                 Count(disk.files, "file", "files").c_str(),
                 static_cast<unsigned long long>(taken),
                 static_cast<unsigned long long>(kFloppyDataBytes),
                 static_cast<unsigned long long>(fits ? kFloppyDataBytes - taken
                                                      : taken - kFloppyDataBytes),
                 fits ? "free" : "too many",
                 disk.setupReckoned ? reckoned.c_str() : "");
}

int Report(const std::string& script, const CheckReport& report, std::FILE* out)
{
    PrintDiagnostics(out, script, report.diagnostics);
    for (const FloppyDisk& disk : report.floppies) {
        PrintFloppy(script, disk, out);
    }
    if (report.diagnostics.empty()) {
        std::fprintf(out, "%s: no warnings (%d %s, %d file %s)\n", script.c_str(),
                     report.diskCount, report.diskCount == 1 ? "disk" : "disks",
                     report.fileCount, report.fileCount == 1 ? "record" : "records");
    } else {
        std::fprintf(out, "%s: %zu %s\n", script.c_str(), report.diagnostics.size(),
                     report.diagnostics.size() == 1 ? "warning" : "warnings");
    }
    std::fflush(out);
    return ExitStatusOf(report);
}

} // namespace

int RunCheckCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err)
{
    Request request;
    if (const auto status = ParseArguments(argc, argv, request, out, err)) {
        return *status;
    }
    if (IsFolder(request.script) && !TakeScriptFromFolder(request, err)) {
        return kExitCannotRun;
    }
    if (request.floppySet && request.layout == MediumLayout::None) {
        return Usage("--floppy-set needs the medium's files: --medium, --originals or a folder",
                     out, err);
    }
    const auto bytes = ReadFileBytes(request.script);
    if (!bytes) {
        std::fprintf(err, "%s: error: the script cannot be read\n", request.script.c_str());
        return kExitCannotRun;
    }
    if (request.layout != MediumLayout::None && !IsFolder(request.mediumFolder)) {
        std::fprintf(err, "%s: error: no such folder\n", request.mediumFolder.c_str());
        return kExitCannotRun;
    }

    CheckOptions options;
    options.assumptions = request.assumptions;
    options.medium.layout = request.layout;
    options.medium.folder = request.mediumFolder;
    options.medium.floppySet = request.floppySet;
    const FolderIndex mediumFiles(request.mediumFolder);
    options.medium.read = [&mediumFiles](const std::string& name) {
        return mediumFiles.Read(name);
    };
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    return Report(request.script, CheckScript(text, options), out);
}

} // namespace checker
