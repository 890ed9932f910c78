// The key lines of a script's text as the private-profile reader finds them (profile_reader.h),
// gathered in one walk over the text: looking a key up costs no further walk, which keeps scripts
// with thousands of numbered file keys quick to read.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "script/profile_reader.h"

class ProfileIndex {
public:
    // Indexes `text`, which must outlive the index.
    explicit ProfileIndex(std::string_view text);

    // The key line that FindProfileKey finds for `section` and `key` (in the first section of
    // that name, the first key of that name), or null when there is none.
    const ProfileLine* Find(const char* section, const char* key) const;

private:
    // By section and key name, blanks around them dropped and in ASCII upper case, joined by a
    // NUL (which no name holds).
    std::unordered_map<std::string, ProfileLine> keys_;
};
