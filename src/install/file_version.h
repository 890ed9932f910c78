// The versions that files carry in their version resource, so that a newer file is never
// replaced by an older one.
#pragma once

// True when `existing` and `incoming` both carry a file version and that of `existing` is the
// higher one: the existing file is kept. Files without one, or of equal versions, are replaced.
bool IsNewerThan(const char* existing, const char* incoming);
