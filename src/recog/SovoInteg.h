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
    // The same without a copy: the next atom is written into Incoming() (whatever it held before is stale),
    // then pushed.
    TAtom& Incoming();
    void PushIncoming(bool last);
    // Drains the window at the end of an utterance, emitting one atom per dropped atom.
    void Flush();

    int32_t WindowLength() const { return windowLength_; }

    TAtomEvent OnAtom;

private:
    // What the smoothing reads of an atom, as it was pushed: the held atoms themselves are emitted with their
    // smoothed values written over these, in place, rather than copied out whole.
    struct TPushed {
        double Voicing = 0.0;
        double MainTone = 0.0;
        double Energy = 0.0;
        bool Quiet = false;
    };

    void IntegrateAndEmit();
    void Forget(const TPushed& atom);   // an atom leaves the window

    // Oldest first, at most windowLength_ + 1 atoms; rings so that sliding moves no atoms.
    std::vector<TAtom> ring_;
    std::vector<TPushed> pushed_;
    size_t first_ = 0;      // ring index of the oldest atom
    size_t count_ = 0;      // atoms held
    TSortedValues voicings_;   // of the atoms in the window
    TSortedValues tones_;
    int32_t windowLength_;
    bool last_ = false;

    size_t Slot(size_t i) const { return (first_ + i) % ring_.size(); }
    const TPushed& At(size_t i) const { return pushed_[Slot(i)]; }
};
