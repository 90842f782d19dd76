#pragma once
// The phoneme layer: phoneme models (a name, an id and spectral-envelope templates named by a .phm file) and
// the set of them that scores every atom of an utterance.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EnvelopeComparison.h"
#include "SovoTypes.h"

using TPhonemeTemplate = std::array<uint8_t, kBandCount>;   // byte 0: main-tone slot, 1..127: envelope

// A phoneme model's verdict on the last atom it scored.
struct TPhonemeDecision {
    TPhonemeName Name{};           // only the first up-to-6 bytes of the model's Chars are ever written
    int32_t TemplateIndex = 0;     // best-matching template
    double Score = 0.0;            // best template similarity, then weighted by the atom's Level
    TPhonemeTemplate Template{};   // copy of the best-matching template
};

class TPhonemeModel {
public:
    // Starts with ten flat templates of rising level, so that an unloaded model still scores.
    TPhonemeModel();

    // Reads a .phm file; its MODEL= paths are relative to the file's own directory.
    void Load(const std::string& fileName);
    // Reads the first 128 bytes of a template file into tmpl.
    void LoadTemplate(const std::string& fileName, TPhonemeTemplate& tmpl);
    // Fills Decision with the best positive template similarity to the atom's envelope.
    void ScoreAtom(const TAtom& atom);
    // The same with the atom's envelope already prepared (PrepareEnvelope of its EnvelopeBytes), for an atom
    // that many models score.
    void ScoreAtom(const TAtom& atom, const TPreparedEnvelope& envelope);

    std::string Chars = " ";
    int32_t Id = 0;                        // -1 after Load when the file names none
    std::vector<std::string> ModelFiles;   // MODEL= values as written
    std::vector<TPhonemeTemplate> Templates;
    TPhonemeDecision Decision;
    int32_t MainTone = 0;                  // when set, stamped into byte 0 of every template

private:
    std::vector<TPhonemeTemplate> preparedFrom_;   // the templates that preparedTemplates_ was made from
    std::vector<TPreparedEnvelope> preparedTemplates_;
};

class TTeskPhoneme {
public:
    using TPhonemeSetEvent = std::function<void(TTeskPhoneme& sender)>;
    using TAtomClassifiedEvent = std::function<void(TTeskPhoneme& sender, const TPhonemeDecision& decision, bool last)>;

    // Replaces the models by those of every dir + "*." + ext file, in name order, then reports the change.
    void LoadModels(const std::string& dir, const std::string& ext);
    int32_t ModelCount() const;
    TPhonemeModel* GetModel(int32_t index);   // nullptr out of range

    // Classifies the atoms of one utterance in order; the last one is reported with last = true.
    void ClassifyAtoms(const TArrayAtoms& atoms);
    // Scores the atom with every model, weights each score by the atom's Level and reports the best model.
    void ClassifyAtom(const TAtom& atom, bool last);
    // Clears every model's decision and the winning one, as after loading.
    void ForgetDecisions();

    TPhonemeDecision Decision;             // the winning model's decision on the last atom
    TPhonemeSetEvent OnModelsChanged;      // required by LoadModels
    TAtomClassifiedEvent OnAtomClassified;

private:
    std::vector<std::unique_ptr<TPhonemeModel>> models_;
};
