// Runs another program (the disk image tools) and waits for it.
#pragma once

#include <string>
#include <vector>

namespace medium {

struct ProgramRun {
    bool started = false; // false when the program cannot be found or started
    int exitCode = -1;    // its exit status when it ran to its end
};

// Runs `arguments[0]`, found on the PATH, with the rest as its arguments; its output goes to
// this program's output.
ProgramRun RunProgram(const std::vector<std::string>& arguments);

} // namespace medium
