#include "UtteranceAtoms.h"

#include "FileRecognizer.h"
#include "SovoInput.h"
#include "SovoProc.h"

TArrayAtoms ReadUtteranceAtoms(const std::string& wavFile)
{
    TTeskProcessor processor;
    TSovoFileInput input(TFileRecognizer::kBlockSize, 1, 22050, 2);
    input.OnData = [&processor](const int16_t* samples, int32_t count) { processor.AddSamples(samples, count); };
    input.SetName(wavFile);
    input.Start();
    return std::move(processor.Atoms);
}
