// setup-medium's command line, apart from main() so that it can be run with other streams.
#pragma once

#include <cstdio>

namespace medium {

// Runs setup-medium with `argv` (argv[0] the program): the progress and the summary go to `out`,
// warnings and errors to `err`. Returns the exit status: 0 built, 1 the script's records or the
// checker's warnings stopped it (or the medium does not fit its floppy), 2 an input that cannot
// be read, an output that cannot be written, a missing tool or bad usage.
int RunMediumCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

} // namespace medium
