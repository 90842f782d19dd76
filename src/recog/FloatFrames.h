#pragma once
// Frames and compact steps held in floats for the bounds of the aligned distance (AlignedDistanceBound.h):
// half the width of doubles, so twice as many values a step, and rounded outwards so that what the floats
// stand for still holds the exact values.
#include <cstddef>
#include <vector>

#include "CompactScores.h"
#include "FrameAlignment.h"

// Every value of a series of frames between two floats: Down[k] <= value <= Up[k] (the nearest floats
// below and above, equal where the value is one).
struct TFloatFrames {
    size_t Width = 0;
    std::vector<float> Down;
    std::vector<float> Up;
    bool InRange = true;   // every value at most 2^50: no float overflows in the bounds

    size_t Count() const { return Width == 0 ? 0 : Down.size() / Width; }
    const float* DownFrame(size_t index) const { return Down.data() + index * Width; }
    const float* UpFrame(size_t index) const { return Up.data() + index * Width; }
};

TFloatFrames FloatFramesOf(const TFrameSeries& frames);

// A compact form's steps as floats, rounded down (Down) and up (Up) by more than a product with a code's
// multiple (at most 256) can round back, so that Down × multiple and Up × multiple, each rounded once, stay
// below and above the exact step's multiple (IntervalGaps.h).
struct TFloatSteps {
    std::vector<float> Down;
    std::vector<float> Up;
    bool InRange = true;   // every step 0 or within 2^-100..2^40: no product leaves the floats' normal range
};

TFloatSteps FloatStepsOf(const TCompactScores& scores);
