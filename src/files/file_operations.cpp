#include "files/file_operations.h"

#include <windows.h>

bool RenameFile(const char* from, const char* to)
{
    return MoveFileA(from, to) != FALSE;
}
