#include "ui/backdrop_bands.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// Every row from the top to the bottom belongs to exactly one band, in order.
void ExpectBandsCoverTheScreen(std::int16_t screenHeight)
{
    const float h = BandHeight(screenHeight);
    EXPECT_EQ(BandEdge(0, h), 0) << "height " << screenHeight;
    int previousBottom = 0;
    for (int band = 0; band < kBandCount; ++band) {
        const int top = BandEdge(band, h);
        const int bottom = BandEdge(band + 1, h);
        ASSERT_EQ(top, previousBottom) << "height " << screenHeight << " band " << band;
        ASSERT_LE(top, bottom) << "height " << screenHeight << " band " << band;
        previousBottom = bottom;
    }
    EXPECT_EQ(previousBottom, screenHeight) << "the last band ends at the bottom";
}

TEST(BackdropBands, HeightIsTheSinglePrecisionProduct)
{
    const struct {
        std::int16_t screenHeight;
        double bandHeight;
    } table[] = {
        {480, 1.8823530673980713},
        {768, 3.0117650032043457},
        {1024, 4.015686511993408},
        {200, 0.7843137979507446},
    };
    for (const auto& row : table) {
        EXPECT_EQ(static_cast<double>(BandHeight(row.screenHeight)), row.bandHeight)
            << "height " << row.screenHeight;
    }
}

TEST(BackdropBands, A480PixelScreen)
{
    const float h = BandHeight(480);
    EXPECT_EQ(BandEdge(0, h), 0);
    EXPECT_EQ(BandEdge(1, h), 1);   // band 0 is row 0
    EXPECT_EQ(BandEdge(2, h), 3);   // band 1 is rows 1 and 2
    EXPECT_EQ(BandEdge(255, h), 480);
    EXPECT_EQ(BandBlue(0), 255);
    EXPECT_EQ(BandBlue(254), 1);
}

TEST(BackdropBands, ScreensOfTheUsualSizesAreCoveredToTheBottom)
{
    for (std::int16_t height : {480, 600, 768, 864, 1024, 1200}) {
        ExpectBandsCoverTheScreen(height);
    }
}

TEST(BackdropBands, EveryHeightFrom1To2048IsCoveredToTheBottom)
{
    for (int height = 1; height <= 2048; ++height) {
        ExpectBandsCoverTheScreen(static_cast<std::int16_t>(height));
    }
}

TEST(BackdropBands, ALowScreenHasEmptyBands)
{
    const float h = BandHeight(200);
    EXPECT_EQ(BandEdge(0, h), 0);
    EXPECT_EQ(BandEdge(1, h), 0); // band 0 covers no row
    int empty = 0;
    for (int band = 0; band < kBandCount; ++band) {
        empty += BandEdge(band, h) == BandEdge(band + 1, h) ? 1 : 0;
    }
    EXPECT_EQ(empty, 255 - 200);
}

TEST(BackdropBands, ColoursRunFromBrightBlueDownByOne)
{
    for (int band = 0; band < kBandCount; ++band) {
        EXPECT_EQ(BandBlue(band), 255 - band);
    }
}

} // namespace
