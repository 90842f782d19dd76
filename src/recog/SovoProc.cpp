#include "SovoProc.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "ArithmeticPath.h"
#include "LoudSpan.h"
#include "FrameWindow.h"
#include "SeriesHelpers.h"
#include "SignalFormat.h"
#include "SovoEnvelope.h"
#include "SovoError.h"

namespace {

constexpr double kIntegratorMs = 200.0;
constexpr int32_t kFirstBandBin = 9;      // the band filter keeps bins 9..68, about 194..1464 Hz
constexpr int32_t kLastBandBin = 68;
constexpr int32_t kFirstLevelBin = 5;     // the spectral peak ignores the lowest bins
constexpr int32_t kFirstActivityIndex = 7;
constexpr double kQuietActivity = 30.0;   // mean absolute step of the windowed frame below which a hop is quiet
constexpr double kEnergyDecay = 1.2;
// Finding speech against the utterance's own floor. An utterance whose loudest spectral peak stays below
// kSilentPeak (a tone of 4 sample steps, about -78 dB below full scale: dither, a muted microphone) holds no
// sound; levels under kLevelFloor count as kLevelFloor, so that digital zeros do not drag the floor to minus
// infinity. Speech rises a quarter of the way from the floor to the loudest hop, and 30 hops (about 87 ms) on
// either side keep weak onsets and endings for the matcher's own end-pointing.
constexpr double kSilentPeak = 1.0;
constexpr double kLevelFloor = 0.01;
constexpr TLoudRule kOwnFloorRule{.Rise = 0.25, .Margin = 30};

}  // namespace

TTeskProcessor::TTeskProcessor(int32_t maxUtteranceAtoms)
    : fft_(kFrameOrder),
      frameMagnitudes_(static_cast<size_t>(fft_.HalfSize())),
      bandMagnitudes_(static_cast<size_t>(fft_.HalfSize())),
      framePhases_(static_cast<size_t>(fft_.HalfSize())),
      hannWindow_(static_cast<size_t>(fft_.Size())),
      bandSamples_(static_cast<size_t>(fft_.Size())),
      frameSamples_(static_cast<size_t>(fft_.Size())),
      integrator_(kIntegratorMs),
      maxUtteranceAtoms_(static_cast<size_t>(std::max(maxUtteranceAtoms, 0)))
{
    const int32_t n = fft_.Size();
    for (int32_t i = 0; i < n; ++i)
        hannWindow_[i] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n);
    integrator_.OnAtom = [this](const TAtom& atom, bool last) { AppendAtom(atom, last); };
}

void TTeskProcessor::Restart()
{
    firstBlock_ = true;
    rawBuffer_.Clear();
    bandBuffer_.Clear();
    analysisBuffer_.Clear();
    madeAtoms_.Clear();
    Atoms.clear();
}

void TTeskProcessor::TakeMemoryOf(TTeskProcessor& old)
{
    Atoms = std::move(old.Atoms);
    Atoms.clear();
    madeAtoms_.TakeSparesOf(old.madeAtoms_);
}

void TTeskProcessor::AddSamples(const int16_t* samples, int32_t count)
{
    if (samples == nullptr || count == 0) {
        EndUtterance();
        return;
    }
    // Once the utterance is full its atoms are final: later samples could change none of them.
    if (madeAtoms_.Size() >= maxUtteranceAtoms_)
        return;
    const int32_t n = fft_.Size();
    rawBuffer_.Append(samples, count);
    analysisBuffer_.Append(samples, count);
    while (rawBuffer_.Count() >= n)
        FilterBlock(n);
    while (bandBuffer_.Count() >= n + kHopSize)
        Step(kHopSize);
}

void TTeskProcessor::EndUtterance()
{
    const int32_t n = fft_.Size();
    // An utterance shorter than half a frame cannot fill the first filter block; it ends without atoms
    // instead of draining more analysis samples than it ever had.
    if (firstBlock_ && analysisBuffer_.Count() < fft_.HalfSize()) {
        Restart();
    } else {
        while (rawBuffer_.Count() >= n)
            FilterBlock(n);
        while (bandBuffer_.Count() >= n + kHopSize)
            Step(kHopSize);
        FilterBlock(rawBuffer_.Count());
        while (bandBuffer_.Count() >= kHopSize)
            Step(kHopSize);
        Step(bandBuffer_.Count());
        integrator_.Flush();
        CloseUtterance();
    }
    if (OnUtteranceEnd)
        OnUtteranceEnd();
}

void TTeskProcessor::WindowFrame(int32_t count)
{
    ApplyWindow(frameSamples_.data(), hannWindow_.data(), count);
}

void TTeskProcessor::SelectBand()
{
    frameMagnitudes_[0] = 0.0;
    std::fill(bandMagnitudes_.begin(), bandMagnitudes_.end(), 0.0);
    std::copy(frameMagnitudes_.begin() + kFirstBandBin, frameMagnitudes_.begin() + kLastBandBin + 1,
              bandMagnitudes_.begin() + kFirstBandBin);
}

// Forward transform of the frame, band selection and the inverse into bandSamples_.
void TTeskProcessor::FilterFrame()
{
    const int32_t n = fft_.Size();
    // Only the kept bins need their phases: the others enter the inverse with no magnitude.
    fft_.Forward(frameSamples_.data(), n, frameMagnitudes_.data());
    fft_.Phases(kFirstBandBin, kLastBandBin + 1 - kFirstBandBin, framePhases_.data());
    SelectBand();
    fft_.Inverse(bandSamples_.data(), n, bandMagnitudes_.data(), framePhases_.data());
}

void TTeskProcessor::FilterBlock(int32_t n)
{
    const int32_t size = fft_.Size();
    const int32_t half = fft_.HalfSize();
    if (firstBlock_) {
        // Priming: the first half frame is silence, so the band signal starts with the first input sample.
        std::fill(frameSamples_.begin(), frameSamples_.begin() + half, int16_t{0});
        rawBuffer_.Peek(frameSamples_.data() + half, half);
        WindowFrame(size);
        FilterFrame();
        bandBuffer_.Append(bandSamples_.data() + half, half);
        firstBlock_ = false;
    } else if (n == size) {
        rawBuffer_.Peek(frameSamples_.data(), size);
        rawBuffer_.Delete(half);
        WindowFrame(size);
        FilterFrame();
        bandBuffer_.MixIntoTail(bandSamples_.data(), half);
        bandBuffer_.Append(bandSamples_.data() + half, half);
    } else if (n < size) {
        const int32_t d = std::min(half, n);
        std::fill(frameSamples_.begin(), frameSamples_.end(), int16_t{0});
        const int32_t e = std::min(n, rawBuffer_.Count());
        rawBuffer_.Peek(frameSamples_.data(), e);
        rawBuffer_.Delete(e);
        WindowFrame(d);
        FilterFrame();
        bandBuffer_.MixIntoTail(bandSamples_.data(), d);
        bandBuffer_.Append(bandSamples_.data() + d, std::abs(e - half));
        firstBlock_ = true;
    } else {
        throw ESovoError("Размер для фильтрации больше длинны FFT.");
    }
}

void TTeskProcessor::Step(int32_t n)
{
    const int32_t size = fft_.Size();
    const int32_t half = fft_.HalfSize();
    TAtom& atom = integrator_.Incoming();
    atom.HopSize = kHopSize;
    atom.SampleCount = n;
    analysisBuffer_.Peek(frameSamples_.data(), size);
    std::copy_n(frameSamples_.begin() + (half - n), n, atom.Samples);
    std::fill(atom.Samples + n, std::end(atom.Samples), int16_t{0});
    WindowFrame(size);
    fft_.Forward(frameSamples_.data(), size, atom.Spectrum);
    atom.MainTone = tone_.MainTone(atom.Spectrum);
    atom.Voicing = Voicing(bandBuffer_.Data(), bandBuffer_.Count(), atom.MainTone);
    atom.Spectrum[0] = atom.MainTone;
    // A silent hop keeps the byte form of the hop before it, whatever the slot held.
    std::copy(std::begin(envelopeBytes_), std::end(envelopeBytes_), atom.EnvelopeBytes);
    BuildEnvelope(atom.Spectrum, atom.Bands, atom.Envelope, atom.EnvelopeBytes);
    std::copy(std::begin(atom.EnvelopeBytes), std::end(atom.EnvelopeBytes), envelopeBytes_);
    atom.Level = LargestOf(atom.Spectrum, kFirstLevelBin, kBinCount, ArithmeticPath() == TArithmeticPath::Fast);

    int32_t activity = 0;
    for (int32_t m = kFirstActivityIndex; m < size - 1; ++m)
        activity += std::abs(frameSamples_[m] - frameSamples_[m + 1]);
    atom.Quiet = static_cast<double>(activity) / size < kQuietActivity;

    smoothedEnergy_ = (MeanAbsDiff64(frameSamples_.data()) + smoothedEnergy_) / kEnergyDecay;
    atom.Energy = smoothedEnergy_;

    bandBuffer_.Delete(n);
    analysisBuffer_.Delete(n);
    integrator_.PushIncoming(false);
}

void TTeskProcessor::AppendAtom(const TAtom& atom, bool /*last*/)
{
    if (madeAtoms_.Size() < maxUtteranceAtoms_)
        madeAtoms_.Append(atom);
}

std::pair<size_t, size_t> TTeskProcessor::QuietHopsSpan() const
{
    const TAtomBlocks& atoms = madeAtoms_;
    const size_t length = atoms.Size();
    // Lead-in: from the 10 % mark, forward to the first loud atom or back to the last quiet one.
    size_t first = length / 10;
    if (length > 0 && atoms[first].Quiet) {
        while (first < length && atoms[first].Quiet)
            ++first;
    } else {
        while (first > 0 && !atoms[first].Quiet)
            --first;
    }
    // Tail: everything from the first quiet atom at or after the middle of the rest goes.
    size_t end = first + (length - first) / 2;
    while (end < length && !atoms[end].Quiet)
        ++end;
    return {first, end};
}

std::pair<size_t, size_t> TTeskProcessor::OwnFloorSpan() const
{
    // The spectral peak in decibels: speech rises tens of decibels above a quiet room and some above a noisy
    // one, whatever the microphone's gain.
    std::vector<double> loudness(madeAtoms_.Size());
    double peak = 0.0;
    for (size_t i = 0; i < loudness.size(); ++i) {
        const double level = madeAtoms_[i].Level;
        peak = std::max(peak, level);
        loudness[i] = 20.0 * std::log10(std::max(level, kLevelFloor));
    }
    if (peak < kSilentPeak)
        return {0, 0};
    const TSpan span = LoudSpan(loudness, kOwnFloorRule);
    return {span.First, span.End};
}

void TTeskProcessor::CloseUtterance()
{
    const auto [first, end] = Trim == TSpeechTrim::QuietHops ? QuietHopsSpan() : OwnFloorSpan();
    madeAtoms_.MoveOut(first, end, Atoms);

    double maxEnergy = 0.0;
    for (const TAtom& atom : Atoms)
        maxEnergy = std::max(maxEnergy, atom.Energy);
    if (maxEnergy != 0.0) {
        for (TAtom& atom : Atoms)
            atom.Level = atom.Energy / maxEnergy;
    }
}
