#include "authoring/script_text_reader.h"

#include "script/profile_reader.h"

namespace authoring {

void ScriptTextReader::ReadText(const char* section, const char* key, const char* fallback,
                                char* out, std::size_t size) const
{
    ReadProfileValue(Find(section, key), fallback, out, size);
}

std::int32_t ScriptTextReader::ReadNumber(const char* section, const char* key,
                                          std::int32_t fallback) const
{
    return ReadProfileNumber(Find(section, key), fallback);
}

FileEntry* ScriptTextReader::AllocateFiles(std::int16_t count)
{
    constexpr std::size_t kSpareRecords =
        (kFileTableSpareBytes + sizeof(FileEntry) - 1) / sizeof(FileEntry);
    table_.assign(static_cast<std::size_t>(count > 0 ? count : 0) + kSpareRecords, FileEntry{});
    return table_.data();
}

} // namespace authoring
