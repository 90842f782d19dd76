#include <cstdint>
#include <string>

#include "ExpectedErrors.h"
#include "FuzzEntries.h"
#include "ModelFolderInput.h"
#include "SovoDict.h"
#include "SovoPhon.h"

namespace {

// Three atoms for the loaded templates to score: silence, a rising envelope, a falling one at half level.
TArrayAtoms ProbeAtoms()
{
    TArrayAtoms atoms(3);
    for (int band = 0; band < kBandCount; ++band) {
        atoms[1].EnvelopeBytes[band] = static_cast<uint8_t>(2 * band);
        atoms[2].EnvelopeBytes[band] = static_cast<uint8_t>(255 - 2 * band);
    }
    atoms[1].Level = 1.0;
    atoms[2].Level = 0.5;
    return atoms;
}

}  // namespace

int FuzzPhonemeModels(const uint8_t* data, size_t size)
{
    const std::string folder = WriteModelFolder("phm", {data, size});
    return RunExpectingSovoErrors([&] {
        // Wired as the recognizer wires them: the set's change and every classified atom reach the dictionary.
        TTeskDictionary dictionary;
        TTeskPhoneme phoneme;
        phoneme.OnModelsChanged = [&](TTeskPhoneme& sender) { dictionary.PhonemesChanged(sender); };
        phoneme.OnAtomClassified = [&](TTeskPhoneme& sender, const TPhonemeDecision&, bool last) {
            dictionary.AddPhonemeScores(sender, last);
        };
        phoneme.LoadModels(folder, "phm");
        phoneme.ClassifyAtoms(ProbeAtoms());
    });
}
