#include "medium/medium_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unordered_set>

#include "authoring/folder.h"
#include "authoring/names.h"
#include "script/script_names.h"
#include "szdd/szdd_writer.h"

namespace medium {

using namespace authoring;

namespace {

// The original of a planned file, or why there is none to use.
std::optional<std::vector<std::uint8_t>> ReadOriginal(const PlannedFile& planned,
                                                      const std::string& originalsFolder,
                                                      const FolderIndex& originals,
                                                      std::string& why)
{
    const std::string original = "the original " + Quoted(planned.targetName) + " of " +
                                 Quoted(planned.sourceName);
    const auto path = originals.Find(planned.targetName);
    if (!path) {
        why = original + (originals.Find(planned.targetName, true)
                              ? " is a folder"
                              : " is not in " + originalsFolder);
        return std::nullopt;
    }
    std::string reason;
    auto bytes = ReadFileBytes(*path, &reason);
    if (!bytes) {
        why = original + " cannot be read: " + reason;
    }
    return bytes;
}

std::string CannotWrite(const std::string& path, int error)
{
    return path + ": cannot be written: " + std::strerror(error);
}

// Writes one file, replacing a file of the same name in another case (among `before`, the folder
// as it was before the first was written), which is the same file on the medium. Returns what
// failed, or nothing.
std::string WriteMediumFile(const std::string& folder, const FolderIndex& before,
                            const MediumFile& file)
{
    std::error_code error;
    if (const auto existing = before.Find(file.name)) {
        std::filesystem::remove(*existing, error);
    }
    const std::string path = (std::filesystem::path(folder) / file.name).string();
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return CannotWrite(path, errno);
    }
    const bool whole = std::fwrite(file.bytes.data(), 1, file.bytes.size(), out) ==
                       file.bytes.size();
    const int writeError = errno;
    if (std::fclose(out) != 0) {
        return CannotWrite(path, errno);
    }
    return whole ? std::string() : CannotWrite(path, writeError);
}

} // namespace

std::vector<MediumFile> MakeMediumFiles(const MediumPlan& plan, const std::string& originalsFolder,
                                        std::vector<std::uint8_t> setupExe,
                                        std::vector<std::uint8_t> script, Diagnostics& missing)
{
    std::vector<MediumFile> files;
    files.reserve(plan.files.size() + 2);
    const std::uint64_t setupSize = setupExe.size();
    const std::uint64_t scriptSize = script.size();
    files.push_back(MediumFile{kSetupName, std::move(setupExe), setupSize, Packing::Copy});
    files.push_back(MediumFile{kScriptName, std::move(script), scriptSize, Packing::Copy});

    const FolderIndex originals(originalsFolder);
    for (const PlannedFile& planned : plan.files) {
        std::string why;
        auto original = ReadOriginal(planned, originalsFolder, originals, why);
        if (!original) {
            Warn(missing, planned.line, planned.record + ": " + why);
            continue;
        }
        const std::uint64_t size = original->size();
        if (planned.packing == Packing::Copy) {
            files.push_back(
                MediumFile{planned.sourceName, std::move(*original), size, Packing::Copy});
        } else if (size > szdd::kSzddLargestOriginal) {
            Warn(missing, planned.line,
                 planned.record + ": the original " + Quoted(planned.targetName) + " has " +
                     std::to_string(size) + " bytes, more than the compressor takes (" +
                     std::to_string(szdd::kSzddLargestOriginal) + ")");
        } else {
            files.push_back(MediumFile{planned.sourceName,
                                       szdd::CompressSzdd(*original, planned.targetName.back()),
                                       size, Packing::Compress});
        }
    }
    return files;
}

std::vector<std::string> ForeignEntries(const std::string& folder,
                                        const std::vector<MediumFile>& files)
{
    std::unordered_set<std::string> ours;
    for (const MediumFile& file : files) {
        ours.insert(Upper(file.name));
    }
    std::vector<std::string> foreign;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file(error) || ours.count(Upper(name)) == 0) {
            foreign.push_back(name);
        }
    }
    return foreign;
}

std::string WriteMediumFolder(const std::string& folder, const std::vector<MediumFile>& files)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!IsFolder(folder)) {
        return folder + ": the folder cannot be made: " +
               (error ? error.message() : std::string("a file of that name is in the way"));
    }
    const FolderIndex before(folder);
    for (const MediumFile& file : files) {
        if (std::string failure = WriteMediumFile(folder, before, file); !failure.empty()) {
            return failure;
        }
    }
    return {};
}

} // namespace medium
