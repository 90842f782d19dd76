#pragma once
// A WAV file of another format converted to 16-bit mono at a given rate: channels mixed down, resampled,
// rounded. The whole file is converted on Open and handed out from memory.
#include <string>
#include <vector>

#include "R_SOURCE.h"

class TConvertedWavSource : public TSampleSource {
public:
    // False, leaving the source empty, when the file cannot be read as uncompressed WAV.
    bool Open(const std::string& fileName, int32_t sampleRate);

    int64_t Rewind() override;
    bool EndOfData() const override;
    int32_t Read(int32_t channel, const int16_t*& samples, int32_t count, int32_t skip) override;
    int64_t SampleCount() const override;
    int64_t Position() const override;

private:
    std::vector<int16_t> FSamples;
    int64_t FFirst = 0;           // first sample of the block handed out last
    int64_t FLastCount = 0;       // its length
};
