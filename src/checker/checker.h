// The script checker: reads a SETUP.INF (and the files beside it) as SETUP.EXE does and reports
// everything that SETUP.EXE would do differently from what the author probably meant.
#pragma once

#include <string_view>

#include "checker/checks.h"
#include "checker/diagnostics.h"
#include "checker/script_model.h"

namespace checker {

struct CheckOptions {
    Assumptions assumptions;
    Medium medium;
};

struct CheckReport {
    Diagnostics diagnostics; // ordered by line
    int diskCount = 0;       // the disks that SETUP.EXE counts
    int fileCount = 0;       // the file records it makes
};

// Runs every check over the script's text.
CheckReport CheckScript(std::string_view text, const CheckOptions& options);

// The checker's exit status for a script that could be read: 0 clean, 1 with warnings.
constexpr int kExitClean = 0;
constexpr int kExitWarnings = 1;
constexpr int kExitUnreadable = 2;

inline int ExitStatusOf(const CheckReport& report)
{
    return report.diagnostics.empty() ? kExitClean : kExitWarnings;
}

} // namespace checker
