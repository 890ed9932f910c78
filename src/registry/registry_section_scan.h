// Walks the setup script's text for the lines of its registry section: the lines between a line
// "[REGISTRY_BEGIN]" and a line "[REGISTRY_END]". The markers are whole lines, written exactly so
// (no blanks, capitals); the section may open and close any number of times, and one that is
// never closed lasts to the end of the text. Empty lines are skipped everywhere.
#pragma once

#include "script/scanners.h"

struct RegistrySectionScan {
    const char* position; // where the next line starts; null once the text is done
    bool open;            // between "[REGISTRY_BEGIN]" and "[REGISTRY_END]"
};

inline constexpr char kRegistrySectionBegin[] = "[REGISTRY_BEGIN]";
inline constexpr char kRegistrySectionEnd[] = "[REGISTRY_END]";

// Starts a walk at the beginning of `text` (NUL-terminated), with the section closed.
constexpr RegistrySectionScan StartRegistrySectionScan(const char* text)
{
    return RegistrySectionScan{text, false};
}

// Takes the next line of the section into `line`. Returns false when the text has no more.
// `cut` tells that the line had more than 255 characters, so that `line` holds only its start.
bool NextRegistryLine(RegistrySectionScan& scan, char (&line)[kLineSize], bool& cut);
