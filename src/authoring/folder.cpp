#include "authoring/folder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "authoring/names.h"

namespace authoring {

std::optional<std::string> FindInFolder(const std::string& folder, const std::string& name,
                                        bool subfolder)
{
    return FolderIndex(folder).Find(name, subfolder);
}

FolderIndex::FolderIndex(const std::string& folder)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        entries_[Upper(entry.path().filename().string())].push_back(
            Entry{entry.path().string(), entry.is_directory(error), entry.is_regular_file(error)});
    }
}

std::optional<std::string> FolderIndex::Find(const std::string& name, bool subfolder) const
{
    if (const auto named = entries_.find(Upper(name)); named != entries_.end()) {
        for (const Entry& entry : named->second) {
            if (subfolder ? entry.folder : entry.file) {
                return entry.path;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> FolderIndex::Read(const std::string& name) const
{
    const auto path = Find(name);
    return path ? ReadFileBytes(*path) : std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path, std::string* why)
{
    const auto fail = [why](const std::string& reason) {
        if (why != nullptr) {
            *why = reason;
        }
        return std::nullopt;
    };
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (std::filesystem::is_directory(status)) {
        return fail("it is a folder");
    }
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        return fail("it is not a plain file");
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return fail(std::strerror(errno));
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t block[65536];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) {
        bytes.insert(bytes.end(), block, block + got);
    }
    const bool failed = std::ferror(file) != 0;
    const int reason = errno;
    std::fclose(file);
    if (failed) {
        return fail(std::strerror(reason));
    }
    return bytes;
}

bool IsFolder(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

} // namespace authoring
