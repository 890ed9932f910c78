// A DLL that carries nothing but a version resource (versioned.rc), for the tests of which file a
// setup keeps: the setup only reads its version, it never loads it.
#include <windows.h>

extern "C" BOOL WINAPI VersionedEntry(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
