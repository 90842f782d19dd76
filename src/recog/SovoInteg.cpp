#include "SovoInteg.h"

#include <algorithm>
#include <cmath>

#include "SignalFormat.h"

namespace {

constexpr int32_t kVoicingMedianLimit = 10;  // up to this middle index the plain median is taken
constexpr int32_t kToneMedianLimit = 6;
constexpr int32_t kEnergyLead = 8;           // the energy mean looks this many atoms ahead of the middle
constexpr double kVoicedThreshold = 0.6;     // below it the main tone is dropped

// Median-like value of sorted values: the middle one while the window is short, else the mean of three.
double MiddleValue(const TSortedValues& sorted, int32_t h, int32_t plainLimit)
{
    const auto middle = static_cast<size_t>(h);
    if (h <= plainLimit)
        return sorted[middle];
    return (sorted[middle - 1] + sorted[middle] + sorted[middle + 1]) / 3;
}

}  // namespace

TVRAtomIntegrator::TVRAtomIntegrator(double durationMs)
    : windowLength_(static_cast<int32_t>(std::nearbyint(durationMs * kSampleRate / 1000.0 / kHopSize)))
{
    ring_.resize(static_cast<size_t>(std::max(windowLength_, 0)) + 1);
    pushed_.resize(ring_.size());
}

void TVRAtomIntegrator::Push(const TAtom& atom, bool last)
{
    Incoming() = atom;
    PushIncoming(last);
}

TAtom& TVRAtomIntegrator::Incoming()
{
    // The slot after the newest; in a full window (as many atoms as slots) the oldest one's, which is past
    // emitting: the middle is never the oldest of two or more.
    return ring_[Slot(count_)];
}

void TVRAtomIntegrator::PushIncoming(bool last)
{
    const size_t slot = Slot(count_);
    if (count_ == ring_.size()) {
        Forget(pushed_[first_]);
        first_ = (first_ + 1) % ring_.size();   // the oldest slot becomes the newest
    } else {
        ++count_;
    }
    const TAtom& atom = ring_[slot];
    pushed_[slot] = {atom.Voicing, atom.MainTone, atom.Energy, atom.Quiet};
    voicings_.Insert(atom.Voicing);
    tones_.Insert(atom.MainTone);
    IntegrateAndEmit();
    if (last)
        Flush();
}

void TVRAtomIntegrator::Flush()
{
    while (count_ > 1) {
        Forget(pushed_[first_]);
        first_ = (first_ + 1) % ring_.size();
        --count_;
        if (count_ == 1)
            last_ = true;
        IntegrateAndEmit();
    }
    first_ = 0;
    count_ = 0;
    last_ = false;
    voicings_.Clear();
    tones_.Clear();
}

void TVRAtomIntegrator::Forget(const TPushed& atom)
{
    voicings_.Remove(atom.Voicing);
    tones_.Remove(atom.MainTone);
}

void TVRAtomIntegrator::IntegrateAndEmit()
{
    const int32_t length = static_cast<int32_t>(count_);
    const int32_t h = length / 2;
    // The middle atom may be emitted again as the window grows: every smoothed field is set from the pushed
    // values each time.
    TAtom& output = ring_[Slot(static_cast<size_t>(h))];

    output.Voicing = MiddleValue(voicings_, h, kVoicingMedianLimit);
    output.MainTone = MiddleValue(tones_, h, kToneMedianLimit);

    const int32_t k = std::min(length - 1, h + kEnergyLead);
    output.Energy = k > 2 ? (At(k - 2).Energy + At(k - 1).Energy + At(k).Energy) / 3 : At(h).Energy;

    int32_t loud = 0;
    for (int32_t i = 0; i < length; ++i)
        loud += At(static_cast<size_t>(i)).Quiet ? 0 : 1;
    output.Quiet = loud <= h;

    if (output.Voicing < kVoicedThreshold)
        output.MainTone = 0.0;
    if (OnAtom)
        OnAtom(output, last_);
}
