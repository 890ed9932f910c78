// Files of a folder, found by name without regard to case as Windows finds them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace authoring {

// The path of the file (or with `folder` true, the subfolder) of `folder` whose name is `name`
// without regard to ASCII case; nothing when there is none.
std::optional<std::string> FindInFolder(const std::string& folder, const std::string& name,
                                        bool subfolder = false);

// A file's bytes; nothing when it cannot be read, and then the system's reason in `why` when it
// is given.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path,
                                                       std::string* why = nullptr);

// The entries of a folder, listed once and then found by name as FindInFolder finds them: a
// medium's thousands of files looked up one by one, each by a listing of its own, cost time that
// grew with the square of their number.
class FolderIndex {
public:
    explicit FolderIndex(const std::string& folder);

    std::optional<std::string> Find(const std::string& name, bool subfolder = false) const;
    // The bytes of the file named `name`; nothing when there is none or it cannot be read.
    std::optional<std::vector<std::uint8_t>> Read(const std::string& name) const;

private:
    struct Entry {
        std::string path;
        bool folder;
        bool file;
    };
    // By upper-case name, in the order of the listing.
    std::unordered_map<std::string, std::vector<Entry>> entries_;
};

bool IsFolder(const std::string& path);

} // namespace authoring
