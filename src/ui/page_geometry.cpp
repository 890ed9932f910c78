#include "ui/page_geometry.h"

PagePlacement PlacePage(std::int32_t left, std::int32_t top, std::int32_t right,
                        std::int32_t bottom, std::int16_t screenWidth, std::int16_t screenHeight)
{
    PagePlacement placement{};
    placement.width = static_cast<std::int16_t>(right - left + 1);
    placement.height = static_cast<std::int16_t>(bottom - top + 1);
    // 32-bit signed arithmetic on the sign-extended 16-bit values; C++ division truncates toward
    // zero.
    placement.x = (static_cast<std::int32_t>(screenWidth) - placement.width) / 2;
    placement.y = (static_cast<std::int32_t>(screenHeight) - placement.height) / 2;
    return placement;
}
