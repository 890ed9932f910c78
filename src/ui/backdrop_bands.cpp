#include "ui/backdrop_bands.h"

float BandHeight(std::int16_t screenHeight)
{
    // The 32-bit build computes on the x87 unit, which would keep the product in extended
    // precision; storing it through a volatile float is what rounds it to single precision, so
    // both builds see the same height.
    volatile float height = static_cast<float>(screenHeight) * kBandScale;
    return height;
}

int BandEdge(int band, float bandHeight)
{
    // A band number has at most 8 significant bits and the height 24, so the product is exact in
    // double precision (as it is in the x87's extended precision): the truncation sees the true
    // product in both builds, and consecutive bands share their edge.
    return static_cast<int>(static_cast<double>(band) * static_cast<double>(bandHeight));
}
