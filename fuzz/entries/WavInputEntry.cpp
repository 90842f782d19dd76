#include <cstdint>
#include <string>

#include "ExpectedErrors.h"
#include "FuzzEntries.h"
#include "FuzzScratch.h"
#include "R_SOURCE.h"
#include "SignalFormat.h"
#include "SovoInput.h"

namespace {

// Every delivered sample is read, so that a block reaching past its storage shows.
volatile int64_t sampleSink = 0;

void Consume(const int16_t* samples, int32_t count)
{
    int64_t sum = 0;
    for (int32_t i = 0; i < count; ++i)
        sum += samples[i];
    sampleSink = sampleSink + sum;
}

// The recognizer's way: the required format, 1024-sample blocks, the end call.
void ReadAsFileInput(const std::string& fileName)
{
    TSovoFileInput input(kInputBlockSize, kChannels, kSampleRate, kBytesPerSample);
    input.OnData = Consume;
    input.SetName(fileName);
    input.Start();
    input.Stop();
}

// Any format through the source the file input reads with: consecutive odd-sized blocks, then after a rewind
// blocks that skip more than they read (stepping over samples never buffered), then single samples.
void ReadThroughSource(const std::string& fileName)
{
    TWavFileSource source;
    source.Open(fileName);
    const int16_t* samples = nullptr;
    for (int32_t count = source.Read(1, samples, 777, 0); count != 0; count = source.Read(1, samples, 777, 777))
        Consume(samples, count);
    sampleSink = sampleSink + source.Position() + source.SampleCount() + source.TotalSamples();

    source.Rewind();
    for (int32_t count = source.Read(1, samples, 500, 0); count != 0; count = source.Read(1, samples, 500, 30000))
        Consume(samples, count);

    source.Rewind();
    for (int32_t i = 0; i < 1000 && !source.EndOfData(); ++i)
        sampleSink = sampleSink + source.ReadSample(1);
    source.Close();
}

}  // namespace

int FuzzWavInput(const uint8_t* data, size_t size)
{
    const std::string folder = FreshScratchFolder("wav");
    const std::string fileName = folder + "input.wav";
    WriteScratchFile(folder, "input.wav", {data, size});
    RunExpectingSovoErrors([&] { ReadAsFileInput(fileName); });
    return RunExpectingSovoErrors([&] { ReadThroughSource(fileName); });
}
