// The script checker: reads a SETUP.INF (and the files beside it) as SETUP.EXE does and reports
// everything that SETUP.EXE would do differently from what the author probably meant.
#pragma once

#include <string_view>

#include "authoring/exit_status.h"
#include "checker/checks.h"

namespace checker {

struct CheckOptions {
    Assumptions assumptions;
    Medium medium;
};

struct CheckReport {
    Diagnostics diagnostics; // ordered by line
    int diskCount = 0;       // the disks that SETUP.EXE counts
    int fileCount = 0;       // the file records it makes
    std::vector<FloppyDisk> floppies; // with a set of floppies, each disk's
};

// Runs every check over a script already read.
CheckReport CheckModel(const ScriptModel& model, const Medium& medium);

// Reads the script's text and runs every check over it.
CheckReport CheckScript(std::string_view text, const CheckOptions& options);

// The checker's exit status for a script that could be read: clean, or with faults.
inline int ExitStatusOf(const CheckReport& report)
{
    return report.diagnostics.empty() ? kExitClean : kExitFaults;
}

} // namespace checker
