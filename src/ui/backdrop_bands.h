// Geometry of the backdrop's gradient: 255 horizontal bands from bright blue down to almost
// black, each of one single-precision band height.
#pragma once

#include <bit>
#include <cstdint>

constexpr int kBandCount = 255;

// The single-precision number nearest to 1/255.
constexpr float kBandScale = 0.003921569f;
static_assert(std::bit_cast<std::uint32_t>(kBandScale) == 0x3B808081u,
              "the band scale is the float nearest to 1/255");

// The height of one band for a screen of `screenHeight` pixels, rounded to single precision.
float BandHeight(std::int16_t screenHeight);

// The row where band `band` begins (and band `band` - 1 ends, excluded): band × height,
// truncated toward zero. Band 255's edge is the bottom of the last band.
int BandEdge(int band, float bandHeight);

// The blue component of band `band`; red and green are always 0.
constexpr std::uint8_t BandBlue(int band)
{
    return static_cast<std::uint8_t>(255 - band);
}
