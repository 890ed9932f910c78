#include "medium/medium_files.h"

#include <filesystem>
#include <fstream>

#include "checker/checks.h"
#include "checker/folder.h"
#include "szdd/szdd_writer.h"

namespace medium {

std::vector<MediumFile> MakeMediumFiles(const MediumPlan& plan, const std::string& originalsFolder,
                                        std::vector<std::uint8_t> setupExe,
                                        std::vector<std::uint8_t> script,
                                        checker::Diagnostics& missing)
{
    std::vector<MediumFile> files;
    files.reserve(plan.files.size() + 2);
    const std::uint64_t setupSize = setupExe.size();
    const std::uint64_t scriptSize = script.size();
    files.push_back(MediumFile{kSetupExeName, std::move(setupExe), setupSize, Packing::Copy});
    files.push_back(MediumFile{kScriptName, std::move(script), scriptSize, Packing::Copy});

    for (const PlannedFile& planned : plan.files) {
        const auto path = checker::FindInFolder(originalsFolder, planned.targetName);
        auto original = path ? checker::ReadFileBytes(*path) : std::nullopt;
        if (!original) {
            checker::Warn(missing, planned.line,
                          planned.record + ": the original " +
                              checker::Quoted(planned.targetName) + " of " +
                              checker::Quoted(planned.sourceName) + " is not in " +
                              originalsFolder);
            continue;
        }
        const std::uint64_t size = original->size();
        if (planned.packing == Packing::Copy) {
            files.push_back(
                MediumFile{planned.sourceName, std::move(*original), size, Packing::Copy});
            continue;
        }
        if (size > szdd::kSzddLargestOriginal) {
            checker::Warn(missing, planned.line,
                          planned.record + ": the original " +
                              checker::Quoted(planned.targetName) + " has " +
                              std::to_string(size) +
                              " bytes, more than the compressor takes (" +
                              std::to_string(szdd::kSzddLargestOriginal) + ")");
            continue;
        }
        files.push_back(MediumFile{planned.sourceName,
                                   szdd::CompressSzdd(*original, planned.targetName.back()), size,
                                   Packing::Compress});
    }
    return files;
}

std::vector<std::string> ForeignEntries(const std::string& folder,
                                        const std::vector<MediumFile>& files)
{
    std::vector<std::string> foreign;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        bool ours = false;
        for (const MediumFile& file : files) {
            ours = ours || (checker::EqualsNoCase(file.name, name) && entry.is_regular_file(error));
        }
        if (!ours) {
            foreign.push_back(name);
        }
    }
    return foreign;
}

std::string WriteMediumFolder(const std::string& folder, const std::vector<MediumFile>& files)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!checker::IsFolder(folder)) {
        return folder + ": the folder cannot be made";
    }
    for (const MediumFile& file : files) {
        // A file of the same name in another case is the same file on the medium.
        const auto existing = checker::FindInFolder(folder, file.name);
        if (existing) {
            std::filesystem::remove(*existing, error);
        }
        const std::string path = (std::filesystem::path(folder) / file.name).string();
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.bytes.data()),
                  static_cast<std::streamsize>(file.bytes.size()));
        out.close();
        if (!out) {
            return path + ": cannot be written";
        }
    }
    return {};
}

} // namespace medium
