#include "FloatFrames.h"

#include <cmath>
#include <limits>

namespace {

// Squares of gaps below 2^51 and their sums stay far from the floats' overflow; products of steps with
// multiples (at most 256) within 2^-100..2^48, far from their subnormals.
constexpr double kLargestValue = 0x1p50;
constexpr double kLargestStep = 0x1p40;
constexpr double kSmallestStep = 0x1p-100;

float FloatBelow(double value)
{
    const float nearest = static_cast<float>(value);
    return static_cast<double>(nearest) > value ? std::nextafter(nearest, -std::numeric_limits<float>::infinity())
                                                : nearest;
}

float FloatAbove(double value)
{
    const float nearest = static_cast<float>(value);
    return static_cast<double>(nearest) < value ? std::nextafter(nearest, std::numeric_limits<float>::infinity())
                                                : nearest;
}

}  // namespace

TFloatFrames FloatFramesOf(const TFrameSeries& frames)
{
    TFloatFrames floats;
    floats.Width = frames.Width;
    floats.Down.reserve(frames.Values.size());
    floats.Up.reserve(frames.Values.size());
    for (const double value : frames.Values) {
        floats.InRange = floats.InRange && std::abs(value) <= kLargestValue;
        floats.Down.push_back(FloatBelow(value));
        floats.Up.push_back(FloatAbove(value));
    }
    return floats;
}

TFloatSteps FloatStepsOf(const TCompactScores& scores)
{
    // 1 -+ 2^-21 is eight float roundings (2^-24): the conversion to float and the product with a multiple
    // (exact in floats) round twice, the double product here once more by far less.
    TFloatSteps steps;
    steps.Down.reserve(scores.Step.size());   // asked for every take of a large vocabulary
    steps.Up.reserve(scores.Step.size());
    for (const double step : scores.Step) {
        steps.InRange = steps.InRange && (step == 0.0 || (step >= kSmallestStep && step <= kLargestStep));
        steps.Down.push_back(static_cast<float>(step * (1.0 - 0x1p-21)));
        steps.Up.push_back(static_cast<float>(step * (1.0 + 0x1p-21)));
    }
    return steps;
}
