// SETUP.INF held in memory, read through the project's own profile reader with the names of
// script/script_names.h: the reader that the loading sequence (script/read_script.h) reads
// through outside SETUP.EXE, in the disk author's tools, the fuzzers and the native tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/file_table.h"
#include "script/profile_index.h"
#include "script/script_names.h"

namespace authoring {

class ScriptTextReader {
public:
    // Reads `text`, which must outlive the reader.
    explicit ScriptTextReader(std::string_view text) : index_(text) {}

    const char* Text(unsigned id) const { return ScriptText(id); }
    void ReadText(const char* section, const char* key, const char* fallback, char* out,
                  std::size_t size) const;
    std::int32_t ReadNumber(const char* section, const char* key, std::int32_t fallback) const;

    // A zero-filled table of `count` records with room after them for SETUP.EXE's spare bytes,
    // owned by the reader.
    FileEntry* AllocateFiles(std::int16_t count);

    // The key line that the reader takes for `section` and `key`, or null.
    const ProfileLine* Find(const char* section, const char* key) const
    {
        return index_.Find(section, key);
    }

private:
    ProfileIndex index_;
    std::vector<FileEntry> table_;
};

} // namespace authoring
