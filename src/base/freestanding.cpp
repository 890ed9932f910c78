// The compiler may turn structure copies and zero-fills into calls of memcpy and memset. The
// program links no C runtime, so it brings its own. Built without loop-to-call rewriting, so
// these loops are not turned back into calls of themselves.
#include <cstddef>

extern "C" void* memcpy(void* destination, const void* source, std::size_t count)
{
    auto* d = static_cast<unsigned char*>(destination);
    const auto* s = static_cast<const unsigned char*>(source);
    while (count-- > 0) {
        *d++ = *s++;
    }
    return destination;
}

extern "C" void* memset(void* destination, int value, std::size_t count)
{
    auto* d = static_cast<unsigned char*>(destination);
    while (count-- > 0) {
        *d++ = static_cast<unsigned char>(value);
    }
    return destination;
}
