#include "ui/page_geometry.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

struct PlacementCase {
    const char* what;
    int left, top, right, bottom;
    std::int16_t screenWidth, screenHeight;
    int x, y, width, height;
};

TEST(PagePlacement, GrowsByOnePixelAndCentres)
{
    const PlacementCase table[] = {
        // 560 x 400 created on 640 x 480: 561 x 401 at (640 - 561) / 2, (480 - 401) / 2.
        {"page on 640 x 480", 0, 0, 560, 400, 640, 480, 39, 39, 561, 401},
        {"position of creation does not matter", 100, 50, 660, 450, 640, 480, 39, 39, 561, 401},
        {"even room", 0, 0, 439, 279, 640, 480, 100, 100, 440, 280},
        {"larger screen", 0, 0, 426, 336, 1024, 768, 298, 215, 427, 337},
        // (640 - 701) / 2 = -30.5, truncated toward zero.
        {"wider than the screen", 0, 0, 700, 400, 640, 480, -30, 39, 701, 401},
        {"taller than the screen", 0, 0, 560, 520, 640, 480, 39, -20, 561, 521},
        {"empty rectangle", 10, 10, 10, 10, 640, 480, 319, 239, 1, 1},
    };
    for (const auto& row : table) {
        const PagePlacement placement =
            PlacePage(row.left, row.top, row.right, row.bottom, row.screenWidth, row.screenHeight);
        EXPECT_EQ(std::make_tuple(placement.x, placement.y, placement.width, placement.height),
                  std::make_tuple(row.x, row.y, row.width, row.height))
            << row.what;
    }
}

TEST(PagePlacement, SizeIsKeptIn16BitsSigned)
{
    // 40000 pixels wide wraps to -25535 as a 16-bit value; the centring then works on that.
    const PagePlacement placement = PlacePage(0, 0, 39999, 99, 640, 480);
    EXPECT_EQ(placement.width, static_cast<std::int16_t>(-25536));
    EXPECT_EQ(placement.x, (640 + 25536) / 2);
    EXPECT_EQ(placement.height, 100);
}

TEST(PagePlacement, ScreenSizeIsSignExtended)
{
    // A screen width recorded as a negative 16-bit value puts the page far to the left.
    const PagePlacement placement = PlacePage(0, 0, 99, 99, -2, 480);
    EXPECT_EQ(placement.x, (-2 - 100) / 2);
}

} // namespace
