// Where a page stands: one pixel larger in each direction than it was created, centred on the
// screen.
#pragma once

#include <cstdint>

struct PagePlacement {
    std::int32_t x;
    std::int32_t y;
    std::int16_t width;
    std::int16_t height;
};

// From the page's window rectangle (screen coordinates, as the platform reports it) and the
// screen size: width = right - left + 1 and height = bottom - top + 1, each cut to 16 bits; the
// position is half the remaining room, truncated toward zero (negative for a page larger than
// the screen).
PagePlacement PlacePage(std::int32_t left, std::int32_t top, std::int32_t right,
                        std::int32_t bottom, std::int16_t screenWidth, std::int16_t screenHeight);
