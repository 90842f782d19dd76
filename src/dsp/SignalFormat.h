#pragma once
// The signal every stage works on, fixed and configured nowhere: mono 16-bit samples at 22050 Hz, analysed in
// frames of 1024 points.
#include <cstdint>

constexpr int32_t kSampleRate = 22050;   // Hz
constexpr int32_t kChannels = 1;
constexpr int32_t kBytesPerSample = 2;
constexpr int32_t kFrameOrder = 10;      // an analysis frame has 2^10 points
constexpr int32_t kFrameSize = int32_t{1} << kFrameOrder;
constexpr int32_t kBinCount = kFrameSize / 2;   // magnitudes of a frame, bin k at k * kBinHz
constexpr double kBinHz = static_cast<double>(kSampleRate) / kFrameSize;
static_assert(kBinHz == 21.533203125);
