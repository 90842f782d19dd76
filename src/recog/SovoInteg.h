#pragma once
// Smooths the atom stream over a sliding window: medians of voicing and main tone, a short energy mean
// a few atoms ahead and a quiet-majority vote, emitted for the window's middle atom.
#include <functional>

#include "SortedValues.h"
#include "SovoTypes.h"

class TVRAtomIntegrator {
public:
    using TAtomEvent = std::function<void(const TAtom& atom, bool last)>;

    explicit TVRAtomIntegrator(double durationMs);

    // Adds an atom and emits one integrated atom; with last it also drains the window.
    void Push(const TAtom& atom, bool last);
    // Drains the window at the end of an utterance, emitting one atom per dropped atom.
    void Flush();

    int32_t WindowLength() const { return windowLength_; }
    const TAtom& Output() const { return output_; }

    TAtomEvent OnAtom;

private:
    void Integrate();
    void Emit();
    void Forget(const TAtom& atom);   // an atom leaves the window

    TAtom output_;
    // Oldest first, at most windowLength_ + 1 atoms; a ring so that sliding moves no atoms.
    std::vector<TAtom> ring_;
    size_t first_ = 0;      // ring index of the oldest atom
    size_t count_ = 0;      // atoms held
    TSortedValues voicings_;   // of the atoms in the window
    TSortedValues tones_;
    int32_t windowLength_;
    bool last_ = false;

    const TAtom& At(size_t i) const { return ring_[(first_ + i) % ring_.size()]; }
};
