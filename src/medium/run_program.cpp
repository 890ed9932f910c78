#include "medium/run_program.h"

#ifdef _WIN32
#include <process.h>
#else
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;
#endif

namespace medium {

namespace {

#ifdef _WIN32
// The C runtime joins the arguments into one command line: an argument with blanks or quotes
// must be quoted to reach the program whole.
std::string QuotedArgument(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        return argument;
    }
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}
#endif

} // namespace

ProgramRun RunProgram(const std::vector<std::string>& arguments)
{
    ProgramRun run;
    if (arguments.empty()) {
        return run;
    }
#ifdef _WIN32
    std::vector<std::string> quoted;
    for (const std::string& argument : arguments) {
        quoted.push_back(QuotedArgument(argument));
    }
    std::vector<const char*> argv;
    for (const std::string& argument : quoted) {
        argv.push_back(argument.c_str());
    }
    argv.push_back(nullptr);
    const intptr_t status = _spawnvp(_P_WAIT, arguments[0].c_str(), argv.data());
    if (status == -1) {
        return run;
    }
    run.started = true;
    run.exitCode = static_cast<int>(status);
#else
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return run;
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) {
        return run;
    }
    run.started = true;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    return run;
}

} // namespace medium
