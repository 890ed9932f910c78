#include "base/text_catalogue.h"

#include "base/setup_state.h"

char* LoadText(unsigned id)
{
    g_setup.textIndex = g_setup.textIndex < kTextBufferCount - 1 ? g_setup.textIndex + 1 : 0;
    char* buffer = g_setup.textBuffers[g_setup.textIndex];
    const int loaded = LoadStringA(g_setup.instance, id & 0xFFFF, buffer,
                                   static_cast<int>(kTextBufferSize));
    return loaded == 0 ? nullptr : buffer;
}
