#include "base/text_catalogue.h"

#include <windows.h>

#include <cstdint>

namespace {

// Zero-filled like all of the program's state: the first text goes to the first buffer.
char g_buffers[kTextBufferCount][kTextBufferSize];
std::uint32_t g_next;

} // namespace

char* LoadText(unsigned id)
{
    char* buffer = g_buffers[g_next];
    g_next = g_next < kTextBufferCount - 1 ? g_next + 1 : 0;
    const int loaded =
        LoadStringA(GetModuleHandleA(nullptr), id & 0xFFFF, buffer, static_cast<int>(kTextBufferSize));
    return loaded == 0 ? nullptr : buffer;
}
