// What a program could not do, for the message that tells the user: how many things failed, and
// the names of as many as fit.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::size_t kFailedNamesSize = 256;

struct FailedNames {
    std::int16_t count;
    char names[kFailedNamesSize]; // comma-separated; "..." at the end once no more fit
};

// Counts one more failure and adds its name to the list. When a name no longer fits, the list
// ends with "..." and takes no more names.
void NoteFailed(FailedNames& failed, const char* name);
