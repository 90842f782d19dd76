#pragma once
// Root mean square differences between one frame and a run of frames, the frames stored value by value
// (turned[k * count + j] is value k of frame j of count), so that neighbouring frames sit side by side in
// vector lanes. Each frame's sum of squared differences runs over the values in order, as one frame alone
// would be summed: the result does not depend on how many frames share the lanes.
#include <cstddef>
#include <vector>

// One frame against another, width values each: the root of the mean squared difference, summed in order.
double RmsDifference(const double* x, const double* y, size_t width);

// The frames of values (count frames of width values, frame after frame) turned value by value.
std::vector<double> TurnFrames(const std::vector<double>& values, size_t count, size_t width);

// costs[j] for frames j = low..high of turned against frame x.
void RmsDifferences(const double* x, const double* turned, size_t count, size_t width, size_t low, size_t high,
                    double* costs);
