#pragma once
// Wave pre-processor: turns the sample stream of one utterance into its trimmed, level-normalised atoms.
// The raw input is band-filtered (FFT overlap-add, 194..1464 Hz) for the voicing measure; the unfiltered
// input is cut into 1024-sample frames advanced by one 64-sample hop, one atom per hop.
#include <functional>
#include <utility>

#include "AtomBlocks.h"
#include "BufferObject.h"
#include "SovoInteg.h"
#include "SovoTypes.h"
#include "SignalFormat.h"
#include "SovoUtils.h"
#include "vwFFT.h"

// How the end of an utterance finds the speech among its atoms.
enum class TSpeechTrim {
    QuietHops,   // the hops' absolute activity test: what the classic matcher's stored examples were made with
    OwnFloor,    // loudness against the utterance's own floor: a soft word in a quiet room keeps its atoms
};

class TTeskProcessor {
public:
    using TUtteranceEndProc = std::function<void()>;

    // An utterance keeps at most one minute of atoms; what follows is not analysed. A command is never that
    // long, and every atom holds about 6 KB, so a long recording would otherwise take memory without bound.
    static constexpr int32_t kMaxUtteranceAtoms = 60 * kSampleRate / kHopSize;

    explicit TTeskProcessor(int32_t maxUtteranceAtoms = kMaxUtteranceAtoms);

    // Feeds one block; no samples (nullptr or count 0) ends the utterance.
    void AddSamples(const int16_t* samples, int32_t count);
    // The next samples start a new utterance. Energy smoothing and the tone estimator carry over.
    void Restart();
    // Takes over the memory old kept its atoms in, none of its state: a fresh processor for every utterance
    // then writes its atoms into pages the process already has rather than into new ones.
    void TakeMemoryOf(TTeskProcessor& old);

    TArrayAtoms Atoms;                  // smoothed, trimmed atoms of the last utterance, from its end on
    TUtteranceEndProc OnUtteranceEnd;
    TSpeechTrim Trim = TSpeechTrim::QuietHops;

    // Exposed for tests that follow the filter and the frames.
    const TBufferObject& RawBuffer() const { return rawBuffer_; }
    const TBufferObject& BandBuffer() const { return bandBuffer_; }
    const TBufferObject& AnalysisBuffer() const { return analysisBuffer_; }
    bool FirstBlock() const { return firstBlock_; }

private:
    void EndUtterance();
    void FilterBlock(int32_t n);
    void FilterFrame();
    void SelectBand();
    void Step(int32_t n);
    void WindowFrame(int32_t count);
    void CloseUtterance();
    std::pair<size_t, size_t> QuietHopsSpan() const;
    std::pair<size_t, size_t> OwnFloorSpan() const;
    void AppendAtom(const TAtom& atom, bool last);

    TBufferObject rawBuffer_;       // input not yet consumed by the band filter
    TBufferObject bandBuffer_;      // band-filtered signal, aligned with analysisBuffer_
    TBufferObject analysisBuffer_;  // unfiltered input from the first sample of the current frame on
    bool firstBlock_ = true;
    TFFTObject fft_;
    TToneEstimator tone_;
    std::vector<double> frameMagnitudes_;
    std::vector<double> bandMagnitudes_;
    std::vector<double> framePhases_;
    std::vector<double> hannWindow_;
    std::vector<int16_t> bandSamples_;
    std::vector<int16_t> frameSamples_;
    TVRAtomIntegrator integrator_;   // each hop's atom is made in its window
    uint8_t envelopeBytes_[kBandCount] = {};   // of the last hop
    TAtomBlocks madeAtoms_;         // the integrator's atoms of the utterance in progress
    size_t maxUtteranceAtoms_;
    double smoothedEnergy_ = 0.0;
};
