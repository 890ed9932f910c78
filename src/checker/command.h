// The checker's command line, apart from main() so that it can be run with other streams.
#pragma once

#include <cstdio>

namespace checker {

// Runs setup-inf-check with `argv` (argv[0] the program), writing the report to `out` and
// errors and usage complaints to `err`. Returns the exit status (authoring/exit_status.h):
// kExitClean, kExitFaults for warnings, kExitCannotRun (also for bad usage).
int RunCheckCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

} // namespace checker
