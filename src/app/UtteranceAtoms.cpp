#include "UtteranceAtoms.h"

#include "SignalFormat.h"
#include "SovoInput.h"
#include "SovoProc.h"

TArrayAtoms ReadUtteranceAtoms(const std::string& wavFile)
{
    TTeskProcessor processor;
    TSovoFileInput input(kInputBlockSize, kChannels, kSampleRate, kBytesPerSample);
    input.OnData = [&processor](const int16_t* samples, int32_t count) { processor.AddSamples(samples, count); };
    input.SetName(wavFile);
    input.Start();
    return std::move(processor.Atoms);
}

std::vector<int16_t> AtomSamples(const TArrayAtoms& atoms)
{
    std::vector<int16_t> samples;
    for (const TAtom& atom : atoms)
        samples.insert(samples.end(), atom.Samples, atom.Samples + atom.SampleCount);
    return samples;
}
