#pragma once
// How far a frame of value intervals lies from a frame of coded values, in floats: per value, the gap between
// the two intervals (0 where they meet). Any two frames whose values lie in those intervals differ by at least
// the gaps, value by value.
//
// A code c of a value whose step is s stands for the interval from (c - 1) s to (c + 1) s, never below 0, and
// code 0 for 0 itself; an interval of codes lowCode..highCode for the union of theirs. The ends are computed as
// stepDown × multiple and stepUp × multiple, each product rounded once: with stepDown and stepUp rounded
// outwards by more than that, every end lies outside the exact one.
#include <cstddef>
#include <cstdint>

// The ends of the intervals a frame of codes stands for, each one product rounded once: a frame met by many
// others is decoded once.
void DecodeIntervals(const uint8_t* codes, const float* stepDown, const float* stepUp, size_t width, float* low,
                     float* high);
// The same products for the envelope of the intervals of codes lowCodes..highCodes, value by value: the ends
// only grow with the code, so the envelope's are those of the extreme codes.
void DecodeEnvelope(const uint8_t* lowCodes, const uint8_t* highCodes, const float* stepDown, const float* stepUp,
                    size_t width, float* low, float* high);
// The sum of the squared gaps between one frame of intervals (xLow..xHigh) and one of decoded codes
// (low..high), width values each. Every operation rounds once (the sum in any order); nothing is fused.
float GapSquares(const float* xLow, const float* xHigh, const float* low, const float* high, size_t width);
