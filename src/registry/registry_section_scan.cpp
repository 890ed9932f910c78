#include "registry/registry_section_scan.h"

#include <cstddef>

#include "base/bounded_text.h"

bool NextRegistryLine(RegistrySectionScan& scan, char (&line)[kLineSize], bool& cut)
{
    cut = false;
    while (scan.position != nullptr) {
        const char* start = scan.position;
        const char* next = ReadLine(start, line);
        scan.position = next;
        if (next == nullptr) {
            return false;
        }
        // The line's own length: what ReadLine moved past, less the one line break it consumed.
        // A line that ran to the end of the text ends with an ordinary character.
        std::size_t length = static_cast<std::size_t>(next - start);
        if (length > 0 && (next[-1] == '\r' || next[-1] == '\n')) {
            --length;
        }
        if (length == 0) {
            continue;
        }
        const bool whole = length < kLineSize;
        if (whole && EqualsExactly(line, kRegistrySectionBegin)) {
            scan.open = true;
            continue;
        }
        if (whole && EqualsExactly(line, kRegistrySectionEnd)) {
            scan.open = false;
            continue;
        }
        if (scan.open) {
            cut = !whole;
            return true;
        }
    }
    return false;
}
