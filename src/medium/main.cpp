// setup-medium (SETUPMED.EXE on Windows): builds a distribution medium from a SETUP.INF, the
// original files and SETUP.EXE, and its disk images.
#include <cstdio>

#include "medium/command.h"

int main(int argc, char** argv)
{
    return medium::RunMediumCommand(argc, argv, stdout, stderr);
}
