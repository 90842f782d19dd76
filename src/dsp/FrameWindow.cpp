#include "FrameWindow.h"

#include "ArithmeticPath.h"
#include "NearestInteger.h"
#include "WideVectors.h"

namespace {

// Written once; the compiler turns it into vector code of the width its caller is compiled for.
inline __attribute__((always_inline)) void WindowSamples(int16_t* samples, const double* window, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        samples[i] = static_cast<int16_t>(NearestInteger(samples[i] * window[i]));
}

#if PARLANTO_WIDE_VECTORS
PARLANTO_WIDE_TARGET void WindowSamplesWide(int16_t* samples, const double* window, int32_t count)
{
    WindowSamples(samples, window, count);
}
#endif

}  // namespace

void ApplyWindow(int16_t* samples, const double* window, int32_t count)
{
#if PARLANTO_WIDE_VECTORS
    if (WideVectors()) {
        WindowSamplesWide(samples, window, count);
        return;
    }
#endif
    WindowSamples(samples, window, count);
}
