#include "install/file_version.h"

#include <windows.h>

namespace {

// The file version of a file's version resource, most significant part first, read with the
// system's version functions (which read the VxD drivers' resources too on Windows 95 and 98).
bool ReadFileVersion(const char* path, unsigned long long& version)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) {
        return false;
    }
    void* block = HeapAlloc(GetProcessHeap(), 0, size);
    if (block == nullptr) {
        return false;
    }
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    char root[] = "\\";
    const bool read = GetFileVersionInfoA(path, handle, size, block) &&
                      VerQueryValueA(block, root, reinterpret_cast<void**>(&info), &length) &&
                      info != nullptr && length >= sizeof *info &&
                      info->dwSignature == VS_FFI_SIGNATURE;
    if (read) {
        version = (static_cast<unsigned long long>(info->dwFileVersionMS) << 32) |
                  info->dwFileVersionLS;
    }
    HeapFree(GetProcessHeap(), 0, block);
    return read;
}

} // namespace

bool IsNewerThan(const char* existing, const char* incoming)
{
    unsigned long long have = 0;
    unsigned long long coming = 0;
    return ReadFileVersion(existing, have) && ReadFileVersion(incoming, coming) && have > coming;
}
