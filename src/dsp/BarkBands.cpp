// Bark scale conversions and the band layout of the 512-bin spectrum derived from them.
#include "BarkBands.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace {

struct TBandLayout {
    int16_t bins[kBandCount];
    double gains[kBandCount];
};

TBandLayout MakeBandLayout()
{
    TBandLayout layout{};
    int32_t start = 0;
    for (int32_t band = 0; band < kBandCount; ++band) {
        // Every band takes at least one bin, then every further bin that lies below the band's upper edge.
        int32_t width = 1;
        while (start + width < kBinCount && BandEdgeHz(band) > BinToHz(start + width))
            ++width;
        layout.bins[band] = static_cast<int16_t>(width);
        layout.gains[band] = 1.0;
        start += width;
    }
    return layout;
}

const TBandLayout& BandLayout()
{
    static const TBandLayout layout = MakeBandLayout();
    return layout;
}

}  // namespace

double HzToBark(double hz)
{
    if (hz < 0)
        return 0.0;
    return 13 * std::atan(0.76 * hz / 1000) + 3.5 * std::atan(hz * hz / 56250000);
}

double BarkToHz(double bark)
{
    if (bark <= 0)
        return 0.0;
    // The scale only approaches its top as the frequency grows without bound; the search would never end.
    static const double ceiling = HzToBark(std::numeric_limits<double>::infinity());
    if (bark >= ceiling)
        return std::numeric_limits<double>::infinity();
    double hz = 3000.0;
    double step = 1000.0;
    double previous = 0.0;
    for (;;) {
        const double current = HzToBark(hz);
        // The frequency just measured is the answer; the step taken after it could be a whole 1000 Hz.
        if (std::fabs(bark - current) < 1e-7)
            return hz;
        if (hz < 0) {
            hz -= step;
            step = -step / 2;
        } else {
            // Walking away from the target: turn back with half the step.
            if (std::fabs(bark - current) > std::fabs(bark - previous))
                step = -step / 2;
            else
                hz += step;
            previous = current;
        }
    }
}

double BinToHz(int32_t bin)
{
    return bin * kBinHz;
}

double BandEdgeHz(int32_t band)
{
    return BarkToHz(band * kBandStepBark);
}

const int16_t* BandBins()
{
    return BandLayout().bins;
}

const double* BandGains()
{
    return BandLayout().gains;
}
