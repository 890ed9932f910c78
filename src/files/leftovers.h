// What a setup that was stopped half-way left, found again through its install record.
#pragma once

#include <cstddef>

// Clears what an interrupted run left, as the install record `text` (`size` bytes) names it:
// temporary files that no replacement at the next start waits for are deleted; an earlier version
// that stepped aside goes back to its name when nothing took its place, and is deleted otherwise.
// Only files that the record names as the setup's own temporary files are touched.
void RemoveLeftovers(const char* text, std::size_t size);
