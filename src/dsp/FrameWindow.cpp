#include "FrameWindow.h"

#include <cmath>

#include "ArithmeticPath.h"
#include "NearestInteger.h"
#include "WideVectors.h"

namespace {

// The fast loop, written once: NearestInteger is a rounding without a library call, so the compiler turns the
// loop into vector code of the width its caller is compiled for. It differs from nearbyint only in the sign of a
// zero, which the conversion to a sample drops.
PARLANTO_LANES_INLINE void WindowSamples(int16_t* samples, const double* window, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        samples[i] = static_cast<int16_t>(NearestInteger(samples[i] * window[i]));
}

PARLANTO_WIDE_TARGET void WindowSamplesWide(int16_t* samples, const double* window, int32_t count)
{
    WindowSamples(samples, window, count);
}

void WindowSamplesNarrow(int16_t* samples, const double* window, int32_t count)
{
    WindowSamples(samples, window, count);
}

}  // namespace

void ApplyWindow(int16_t* samples, const double* window, int32_t count)
{
    if (ArithmeticPath() == TArithmeticPath::Fast) {
        ByVectorWidth(WindowSamplesWide, WindowSamplesNarrow, samples, window, count);
        return;
    }
    for (int32_t i = 0; i < count; ++i)
        samples[i] = static_cast<int16_t>(std::nearbyint(samples[i] * window[i]));
}
