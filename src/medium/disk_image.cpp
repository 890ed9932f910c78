#include "medium/disk_image.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "authoring/exit_status.h"
#include "authoring/folder.h"
#include "base/bounded_text.h"
#include "medium/run_program.h"

namespace medium {

using namespace authoring;

namespace {

std::string UpperCut(std::string_view text, std::size_t length)
{
    std::string out(text.substr(0, length));
    for (char& c : out) {
        c = AsciiUpper(c);
    }
    return out;
}

// The Debian package that has an image tool.
struct Tool {
    const char* program;
    const char* package;
};
constexpr Tool kMformat{"mformat", "mtools"};
constexpr Tool kMcopy{"mcopy", "mtools"};
constexpr Tool kXorriso{"xorriso", "xorriso"};

std::optional<ImageFailure> RunTool(const Tool& tool, std::vector<std::string> arguments,
                                    const std::string& image)
{
    arguments.insert(arguments.begin(), tool.program);
    const ProgramRun run = RunProgram(arguments);
    if (!run.started) {
        return ImageFailure{kExitCannotRun,
                            image + ": " + tool.program + " is missing: install the package " +
                                tool.package + " (apt-get install " + tool.package + ")"};
    }
    if (run.exitCode != 0) {
        return ImageFailure{kExitCannotRun,
                            image + ": " + tool.program + " failed with exit status " +
                                std::to_string(run.exitCode)};
    }
    return std::nullopt;
}

std::vector<std::string> PathsOf(const std::string& folder, const std::vector<ImageFile>& files)
{
    std::vector<std::string> paths;
    for (const ImageFile& file : files) {
        paths.push_back((std::filesystem::path(folder) / file.name).string());
    }
    return paths;
}

// Makes way for the image: an earlier image goes, a folder of its name stays and refuses it, and
// a file that cannot be made is reported with the system's reason before a tool runs.
std::optional<ImageFailure> PrepareImage(const std::string& image)
{
    if (IsFolder(image)) {
        return ImageFailure{kExitCannotRun, image + ": is a folder; give the image's file name"};
    }
    std::error_code error;
    std::filesystem::remove(image, error);
    std::FILE* probe = std::fopen(image.c_str(), "wb");
    if (probe == nullptr) {
        return ImageFailure{kExitCannotRun,
                            image + ": cannot be written: " + std::strerror(errno)};
    }
    std::fclose(probe);
    std::filesystem::remove(image, error);
    return std::nullopt;
}

} // namespace

std::string FloppyLabel(std::string_view diskLabel)
{
    std::string label = UpperCut(diskLabel, kFloppyLabelLength);
    for (char& c : label) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || std::string_view("\"*+,./:;<=>?[\\]|").find(c) != std::string_view::npos) {
            c = '_';
        }
    }
    return label;
}

std::string IsoLabel(std::string_view diskLabel)
{
    return UpperCut(diskLabel, kIsoLabelLength);
}

std::optional<ImageFailure> WriteFloppyImage(const std::string& image, const std::string& label,
                                             const std::string& folder,
                                             const std::vector<ImageFile>& files)
{
    if (const auto overflow = FloppyOverflow(FloppyUseOf(files))) {
        return ImageFailure{kExitFaults, image + ": " + *overflow};
    }
    if (auto failure = PrepareImage(image)) {
        return failure;
    }
    std::vector<std::string> format = {"-i", image, "-C", "-f", "1440"};
    if (!label.empty()) {
        format.insert(format.end(), {"-v", label});
    }
    format.push_back("::");
    if (auto failure = RunTool(kMformat, format, image)) {
        return failure;
    }
    std::vector<std::string> copy = {"-i", image};
    for (std::string& path : PathsOf(folder, files)) {
        copy.push_back(std::move(path));
    }
    copy.push_back("::/");
    return RunTool(kMcopy, copy, image);
}

std::optional<ImageFailure> WriteIsoImage(const std::string& image, const std::string& label,
                                          const std::string& folder,
                                          const std::vector<ImageFile>& files)
{
    if (auto failure = PrepareImage(image)) {
        return failure;
    }
    // ISO 9660 level 1 (8.3 names in upper case) without the Rock Ridge names, as Windows 95
    // reads a CD.
    std::vector<std::string> arguments = {"-as", "mkisofs", "-quiet", "-iso-level", "1",
                                          "--norock", "-o", image};
    if (!label.empty()) {
        arguments.insert(arguments.end(), {"-V", label});
    }
    for (std::string& path : PathsOf(folder, files)) {
        arguments.push_back(std::move(path));
    }
    return RunTool(kXorriso, arguments, image);
}

} // namespace medium
