// setup-medium's command line: options, the steps of a build and their messages, the exit status.
// main() hands its arguments and the standard streams to RunMediumCommand.
#include "medium/command.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "authoring/exit_status.h"
#include "authoring/folder.h"
#include "checker/checker.h"
#include "authoring/floppy.h"
#include "authoring/names.h"
#include "medium/disk_image.h"
#include "medium/floppy_set.h"
#include "medium/floppy_split.h"
#include "medium/medium_files.h"
#include "medium/medium_plan.h"
#include "script/script_names.h"

namespace medium {

using namespace authoring;

namespace {

constexpr char kUsage[] =
    "usage: setup-medium --script SETUP.INF --originals DIR --setup SETUP.EXE --out MEDIUM_DIR\n"
    "                    [--floppy IMAGE.img] [--floppy-set NAME.img] [--split]\n"
    "                    [--iso IMAGE.iso] [--force]\n"
    "\n"
    "Builds a distribution medium. Reads the script as SETUP.EXE reads it and makes every file\n"
    "that its file records name from the original of the target name in DIR: compressed in the\n"
    "Windows LZ format when the source name is the target name with its last character replaced\n"
    "by \"_\", copied when the two are equal. Puts SETUP.EXE and the script (as SETUP.INF) beside\n"
    "them, checks the medium as setup-inf-check does, and writes the disk images asked for.\n"
    "\n"
    "options:\n"
    "  --script FILE     the setup script\n"
    "  --originals DIR   the original files, under their target names (case is ignored)\n"
    "  --setup FILE      the SETUP.EXE to put on the medium\n"
    "  --out DIR         the medium's folder: new, empty, or an earlier build of this medium\n"
    "  --floppy FILE     also write a 1.44 MB FAT12 floppy image (mtools) of the whole medium,\n"
    "                    its volume label [DiskLabel] Disk1 in capitals, cut to 11 characters\n"
    "  --floppy-set NAME also write a floppy image for each disk of the script: NAME-1.img,\n"
    "                    NAME-2.img... for NAME.img, or the disk's number in place of a \"#\"\n"
    "                    in NAME; disk 1 holds SETUP.EXE, the script and disk 1's files, every\n"
    "                    other disk its own files; each labelled with its disk's label\n"
    "                    (labels alike in 11 characters end in the disk's number instead)\n"
    "  --split           lay the file records of [Disk1], in their order, out over as few\n"
    "                    floppies as that order allows; the medium's SETUP.INF gets the disk\n"
    "                    sections, [FileCounts] and [DiskLabel] of that layout (\"... Disk 2\")\n"
    "  --iso FILE        also write an ISO 9660 CD image with 8.3 names (xorriso)\n"
    "  --force           write the images despite the checker's warnings (still printed)\n"
    "  -h, --help        this text\n"
    "\n"
    "exit status: 0 built; 1 stopped by the script's file records, by the checker's warnings or\n"
    "by a medium or disk too large for its floppy; 2 an input cannot be read, an output cannot be\n"
    "written, a tool is missing, or bad usage\n";

struct Options {
    std::string script;
    std::string originals;
    std::string setup;
    std::string out;
    std::string floppy;
    std::string floppySet;
    std::string iso;
    bool force = false;
    bool split = false;
};

int Usage(const char* complaint, std::FILE* out, std::FILE* err)
{
    if (complaint != nullptr) {
        std::fprintf(err, "setup-medium: %s\n\n", complaint);
    }
    std::fputs(kUsage, complaint != nullptr ? err : out);
    return complaint != nullptr ? kExitCannotRun : kExitClean;
}

// Reads the options into `options`; returns an exit status when the command ends here.
std::optional<int> ParseOptions(int argc, const char* const* argv, Options& options,
                                std::FILE* out, std::FILE* err)
{
    const std::pair<std::string_view, std::string*> valued[] = {
        {"--script", &options.script}, {"--originals", &options.originals},
        {"--setup", &options.setup},   {"--out", &options.out},
        {"--floppy", &options.floppy}, {"--floppy-set", &options.floppySet},
        {"--iso", &options.iso},
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            return Usage(nullptr, out, err);
        }
        if (arg == "--force" || arg == "--split") {
            (arg == "--force" ? options.force : options.split) = true;
            continue;
        }
        bool known = false;
        for (const auto& [name, value] : valued) {
            if (arg == name) {
                if (i + 1 >= argc) {
                    return Usage((std::string(name) + " needs a value").c_str(), out, err);
                }
                *value = argv[++i];
                known = true;
            }
        }
        if (!known) {
            return Usage(("unknown argument " + std::string(arg)).c_str(), out, err);
        }
    }
    for (const auto& [name, value] : valued) {
        if (value->empty() && name != "--floppy" && name != "--floppy-set" && name != "--iso") {
            return Usage((std::string(name) + " is required").c_str(), out, err);
        }
    }
    // An image is a file: a folder of its name is never replaced.
    for (const std::string* image : {&options.floppy, &options.iso}) {
        if (!image->empty() && IsFolder(*image)) {
            std::fprintf(err, "%s: error: is a folder; give the image's file name\n",
                         image->c_str());
            return kExitCannotRun;
        }
    }
    return std::nullopt;
}

void PrintFiles(const std::vector<MediumFile>& files, double milliseconds, const Options& options,
                std::FILE* out)
{
    std::uint64_t originalBytes = 0;
    std::uint64_t mediumBytes = 0;
    for (const MediumFile& file : files) {
        originalBytes += file.originalSize;
        mediumBytes += file.bytes.size();
        if (file.packing == Packing::Compress) {
            std::fprintf(out, "  %-14s %9llu -> %9llu bytes (%.1f%%)\n", file.name.c_str(),
                         static_cast<unsigned long long>(file.originalSize),
                         static_cast<unsigned long long>(file.bytes.size()),
                         file.originalSize == 0 ? 100.0
                                                : 100.0 * static_cast<double>(file.bytes.size()) /
                                                      static_cast<double>(file.originalSize));
        } else {
            std::fprintf(out, "  %-14s %9llu bytes, copied\n", file.name.c_str(),
                         static_cast<unsigned long long>(file.bytes.size()));
        }
    }
    std::fprintf(out, "%s: %zu files, %llu bytes (%llu expanded), made in %.0f ms\n",
                 options.out.c_str(), files.size(), static_cast<unsigned long long>(mediumBytes),
                 static_cast<unsigned long long>(originalBytes), milliseconds);
}

// SETUP.EXE and the script, which the medium holds as they are.
struct Inputs {
    std::vector<std::uint8_t> script;
    std::vector<std::uint8_t> setupExe;
};

std::optional<int> ReadInputs(const Options& options, Inputs& inputs, std::FILE* err)
{
    std::string why;
    if (auto script = ReadFileBytes(options.script, &why)) {
        inputs.script = std::move(*script);
    } else {
        std::fprintf(err, "%s: error: the script cannot be read: %s\n", options.script.c_str(),
                     why.c_str());
        return kExitCannotRun;
    }
    if (auto setupExe = ReadFileBytes(options.setup, &why)) {
        inputs.setupExe = std::move(*setupExe);
    } else {
        std::fprintf(err, "%s: error: %s cannot be read: %s\n", options.setup.c_str(),
                     kSetupName, why.c_str());
        return kExitCannotRun;
    }
    if (!IsFolder(options.originals)) {
        std::fprintf(err, "%s: error: no such folder\n", options.originals.c_str());
        return kExitCannotRun;
    }
    return std::nullopt;
}

// The medium's files, made from their originals; an exit status when that fails.
std::optional<int> MakeFiles(const Options& options, const ScriptModel& model, Inputs& inputs,
                             std::vector<MediumFile>& files, double& milliseconds, std::FILE* err)
{
    const MediumPlan plan = PlanMedium(model);
    if (!plan.errors.empty()) {
        PrintDiagnostics(err, options.script, plan.errors);
        std::fprintf(err, "setup-medium: no medium written\n");
        return kExitFaults;
    }
    const auto started = std::chrono::steady_clock::now();
    Diagnostics missing;
    files = MakeMediumFiles(plan, options.originals, std::move(inputs.setupExe), inputs.script,
                            missing);
    const std::chrono::duration<double, std::milli> made =
        std::chrono::steady_clock::now() - started;
    milliseconds = made.count();
    if (!missing.empty()) {
        PrintDiagnostics(err, options.script, missing);
        std::fprintf(err, "setup-medium: no medium written\n");
        return kExitCannotRun;
    }
    return std::nullopt;
}

// The records of [Disk1] laid out over floppies: `splitText`, the script with that layout, takes
// the place of the author's in `model` and on the medium. An exit status when they cannot be.
std::optional<int> SplitMedium(const Options& options, ScriptModel& model, std::string& splitText,
                               std::vector<MediumFile>& files, std::FILE* out, std::FILE* err)
{
    FileSizes sizes;
    for (const MediumFile& file : files) {
        sizes[Upper(file.name)] = file.bytes.size();
    }
    FloppySplit split;
    splitText = SplitScript(model, sizes, split);
    if (!split.errors.empty()) {
        PrintDiagnostics(err, options.script, split.errors);
        std::fprintf(err, "setup-medium: no medium written\n");
        return kExitFaults;
    }
    std::fprintf(out, "[Disk1] laid out over %d %s:\n", split.diskCount,
                 split.diskCount == 1 ? "floppy" : "floppies");
    for (int d = 0; d < split.diskCount; ++d) {
        const auto records = std::count(split.diskOf.begin(), split.diskOf.end(), d);
        std::fprintf(out, "  %s: %ld file %s\n", FloppyDiskName(d, split.labels[d]).c_str(),
                     static_cast<long>(records), records == 1 ? "record" : "records");
    }
    for (MediumFile& file : files) {
        if (file.name == kScriptName) {
            file.bytes.assign(splitText.begin(), splitText.end());
            file.originalSize = file.bytes.size();
        }
    }
    LoadScriptModel(splitText, Assumptions{}, model);
    return std::nullopt;
}

// The medium's files written into its folder; an exit status when that fails.
std::optional<int> WriteFolder(const Options& options, const std::vector<MediumFile>& files,
                               double milliseconds, std::FILE* out, std::FILE* err)
{
    if (const auto foreign = ForeignEntries(options.out, files); !foreign.empty()) {
        std::string names;
        for (const std::string& name : foreign) {
            names += (names.empty() ? "" : ", ") + name;
        }
        std::fprintf(err,
                     "%s: error: the folder holds what the medium has not (%s): give a new or "
                     "empty folder\n",
                     options.out.c_str(), names.c_str());
        return kExitCannotRun;
    }
    if (const std::string failure = WriteMediumFolder(options.out, files); !failure.empty()) {
        std::fprintf(err, "%s\n", failure.c_str());
        return kExitCannotRun;
    }
    PrintFiles(files, milliseconds, options, out);
    return std::nullopt;
}

// The medium's files, made, laid out over floppies when asked, and written into its folder; an
// exit status when that fails.
std::optional<int> LayOutMedium(const Options& options, ScriptModel& model, Inputs& inputs,
                                std::string& splitText, std::vector<MediumFile>& files,
                                std::FILE* out, std::FILE* err)
{
    double milliseconds = 0;
    if (const auto status = MakeFiles(options, model, inputs, files, milliseconds, err)) {
        return status;
    }
    if (options.split) {
        if (const auto status = SplitMedium(options, model, splitText, files, out, err)) {
            return status;
        }
    }
    return WriteFolder(options, files, milliseconds, out, err);
}

// The disk images asked for, of the medium's files; an exit status when one fails.
std::optional<int> WriteImages(const Options& options, const ScriptModel& model,
                               const std::vector<MediumFile>& files, std::FILE* out,
                               std::FILE* err)
{
    std::vector<ImageFile> imageFiles;
    for (const MediumFile& file : files) {
        imageFiles.push_back(ImageFile{file.name, file.bytes.size()});
    }
    const std::string diskLabel = model.settings.diskLabels[0];
    if (!options.floppy.empty()) {
        if (const auto failure =
                WriteFloppy(options.floppy, FloppyLabel(diskLabel), options.out, imageFiles, out)) {
            std::fprintf(err, "%s\n", failure->message.c_str());
            return failure->status;
        }
    }
    if (!options.floppySet.empty()) {
        if (const auto status =
                WriteFloppySet(options.floppySet, model, options.out, files, out, err)) {
            return status;
        }
    }
    if (!options.iso.empty()) {
        const std::string label = IsoLabel(diskLabel);
        if (const auto failure = WriteIsoImage(options.iso, label, options.out, imageFiles)) {
            std::fprintf(err, "%s\n", failure->message.c_str());
            return failure->status;
        }
        std::fprintf(out, "%s: ISO 9660 image \"%s\"\n", options.iso.c_str(), label.c_str());
    }
    return std::nullopt;
}

} // namespace

int RunMediumCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err)
{
    Options options;
    Inputs inputs;
    if (const auto status = ParseOptions(argc, argv, options, out, err)) {
        return *status;
    }
    if (const auto status = ReadInputs(options, inputs, err)) {
        return *status;
    }
    ScriptModel model;
    const std::string_view text(reinterpret_cast<const char*>(inputs.script.data()),
                                inputs.script.size());
    LoadScriptModel(text, Assumptions{}, model);
    std::vector<MediumFile> files;
    std::string splitText; // the script that the medium holds, when --split writes its own
    if (const auto status = LayOutMedium(options, model, inputs, splitText, files, out, err)) {
        return *status;
    }
    // The warnings' lines are those of the script on the medium.
    const std::string checked =
        options.split ? (std::filesystem::path(options.out) / kScriptName).string()
                      : options.script;

    // The finished medium, as the checker finds it in its folder.
    const FolderIndex mediumFiles(options.out);
    checker::Medium medium{checker::MediumLayout::Medium, options.out,
                           [&mediumFiles](const std::string& name) {
                               return mediumFiles.Read(name);
                           }};
    const checker::CheckReport report = checker::CheckModel(model, medium);
    PrintDiagnostics(err, checked, report.diagnostics);
    if (!report.diagnostics.empty() && !options.force) {
        std::fprintf(err,
                     "setup-medium: %zu %s; no disk image written (--force writes it anyway)\n",
                     report.diagnostics.size(),
                     report.diagnostics.size() == 1 ? "warning" : "warnings");
        return kExitFaults;
    }
    const auto status = WriteImages(options, model, files, out, err);
    std::fflush(out);
    return status.value_or(kExitClean);
}

} // namespace medium
