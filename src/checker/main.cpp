// setup-inf-check (SETUPCHK.EXE on Windows): checks a SETUP.INF as SETUP.EXE reads it.
#include <cstdio>

#include "checker/command.h"

int main(int argc, char** argv)
{
    return checker::RunCheckCommand(argc, argv, stdout, stderr);
}
