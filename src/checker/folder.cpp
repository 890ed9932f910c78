#include "checker/folder.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "checker/checks.h"

namespace checker {

std::optional<std::string> FindInFolder(const std::string& folder, const std::string& name,
                                        bool subfolder)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (EqualsNoCase(entry.path().filename().string(), name) &&
            (subfolder ? entry.is_directory(error) : entry.is_regular_file(error))) {
            return entry.path().string();
        }
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    if (file.bad()) {
        return std::nullopt;
    }
    return bytes;
}

bool IsFolder(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

} // namespace checker
