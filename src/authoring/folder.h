// Files of a folder, found by name without regard to case as Windows finds them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
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

// The bytes of the file of `folder` whose name is `name` without regard to ASCII case; nothing
// when there is none or it cannot be read.
std::optional<std::vector<std::uint8_t>> ReadFromFolder(const std::string& folder,
                                                        const std::string& name);

bool IsFolder(const std::string& path);

} // namespace authoring
