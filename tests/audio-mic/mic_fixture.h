#pragma once
// What the microphone tests observe and feed: everything an input delivers, the levels a meter reports,
// sample blocks with known content, and waiting for what was fed to reach a recording on either test server.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "MainThreadQueue.h"
#include "MessageOf.h"
#include "PulseTestServer.h"
#include "R_SOURCE.h"
#include "SovoMicInput.h"
#include "WaitUntil.h"

namespace mictest {

// The count of every OnData call (0 = end call), the samples, the progress calls.
struct Delivery {
    std::vector<int32_t> Counts;
    std::vector<int16_t> Samples;
    std::vector<std::pair<int32_t, int32_t>> Progress;

    void Attach(TSovoMicInput& input)
    {
        input.OnData = [this](const int16_t* samples, int32_t count) {
            Counts.push_back(count);
            if (count > 0)
                Samples.insert(Samples.end(), samples, samples + count);
        };
        input.OnProgress = [this](int32_t position, int32_t total) { Progress.emplace_back(position, total); };
    }

    // What a recording of blocks full buffers must deliver: the blocks, progress (i, blocks), the end call.
    static Delivery Expected(const std::vector<int16_t>& fed, int32_t blocks, int32_t blockSize = 1024)
    {
        Delivery expected;
        for (int32_t i = 0; i < blocks; ++i) {
            expected.Counts.push_back(blockSize);
            expected.Progress.emplace_back(i, blocks);
        }
        expected.Counts.push_back(0);
        expected.Samples.assign(fed.begin(), fed.begin() + blocks * blockSize);
        return expected;
    }

    // Whether the delivery is whole blocks, each with its progress call (i, blocks), then the end call.
    bool InWholeBlocks(int32_t blockSize = 1024) const
    {
        const auto blocks = static_cast<int32_t>(Progress.size());
        if (Counts.size() != Progress.size() + 1 || Counts.back() != 0)
            return false;
        for (int32_t i = 0; i < blocks; ++i) {
            if (Counts[static_cast<size_t>(i)] != blockSize || Progress[static_cast<size_t>(i)] != std::pair(i, blocks))
                return false;
        }
        return true;
    }

    // The samples without the silence before and after them.
    std::vector<int16_t> Sound() const { return pulsetest::WithoutSilenceAround(Samples); }
};

inline bool operator==(const Delivery& a, const Delivery& b)
{
    return a.Counts == b.Counts && a.Samples == b.Samples && a.Progress == b.Progress;
}

inline void PrintTo(const Delivery& d, std::ostream* out)
{
    *out << d.Counts.size() << " data calls (last count " << (d.Counts.empty() ? -1 : d.Counts.back()) << "), "
         << d.Samples.size() << " samples, " << d.Progress.size() << " progress calls";
}

// The levels a meter reported, and whether each came on the main thread.
struct LevelLog {
    std::vector<std::pair<int32_t, int32_t>> Levels;
    bool AllOnMainThread = true;

    TSovoLevelProc Proc()
    {
        return [this](int32_t level, int32_t maxLevel) {
            Levels.emplace_back(level, maxLevel);
            AllOnMainThread = AllOnMainThread && MainThreadQueue().IsMainThread();
        };
    }

    // Drains the main-thread queue, as the window's event loop would, until count levels have come.
    bool WaitFor(size_t count)
    {
        return WaitUntil([this, count] {
            MainThreadQueue().Drain();
            return Levels.size() >= count;
        });
    }

    // Drains the main-thread queue until the level has come (a microphone that adds silence of its own
    // reports 0 before it).
    bool WaitForLevel(int32_t level)
    {
        return WaitUntil([this, level] {
            MainThreadQueue().Drain();
            return std::any_of(Levels.begin(), Levels.end(), [level](const auto& l) { return l.first == level; });
        });
    }

    // Drains the main-thread queue until the meter reports anything new: a microphone that adds silence of its
    // own hands what is fed only to the streams already listening, while one that passes on exactly what is fed
    // keeps it for the next stream (true at once).
    bool Listening()
    {
        if (pulsetest::MicrophoneIsExact())
            return true;
        MainThreadQueue().Drain();
        const size_t reported = Levels.size();
        return WaitUntil([this, reported] {
            MainThreadQueue().Drain();
            return Levels.size() > reported;
        });
    }

    // The levels with each run of equal ones told once.
    std::vector<int32_t> Changes() const
    {
        std::vector<int32_t> changes;
        for (const auto& [level, maxLevel] : Levels) {
            if (changes.empty() || changes.back() != level)
                changes.push_back(level);
        }
        return changes;
    }
};

// Waits until the input's running recording has filled blocks buffers (kept or not).
inline bool CaptureReaches(const TSovoMicInput& input, int32_t blocks)
{
    return WaitUntil([&input, blocks] { return input.CapturedBlocks() >= blocks; });
}

// The base of the tests that record the virtual microphone: waits for what was fed to reach a recording, and
// checks what the recording delivered, on either test server.
class MicServerTest : public pulsetest::PulseServerTest {
protected:
    // Waits until input's running recording has captured everything fed so far (fed samples).
    bool RecordingHolds(const TSovoMicInput& input, size_t fed)
    {
        if (pulsetest::MicrophoneIsExact())
            return CaptureReaches(input, static_cast<int32_t>(fed / 1024));
        // The silence before the fed samples is unknown; once the server has taken them all, they reach the
        // recording within its latency, while the silence after them keeps the buffers filling.
        return MicrophoneTookAll() && CaptureReaches(input, input.CapturedBlocks() + kLatencyBlocks);
    }

    // What a recording of fed must deliver: exactly its first blocks from a microphone that passes on exactly
    // what it is fed; else all of it, in whole blocks between the silence around it.
    static void ExpectRecorded(const Delivery& got, const std::vector<int16_t>& fed, int32_t blocks)
    {
        if (pulsetest::MicrophoneIsExact()) {
            EXPECT_EQ(got, Delivery::Expected(fed, blocks));
            return;
        }
        EXPECT_TRUE(got.InWholeBlocks()) << testing::PrintToString(got);
        EXPECT_TRUE(got.Sound() == fed) << "every fed sample comes through, unchanged and in order; "
                                        << testing::PrintToString(got);
    }

    // A generous bound on how far behind the microphone's FIFO a recording runs: 0.37 s, against 0.04 s
    // measured on an idle machine.
    static constexpr int32_t kLatencyBlocks = 8;
};

// Listens to the default source (the virtual microphone, or the loudspeaker's monitor) beside whatever else
// records it. The server hands what the source produces to every stream at once, so what the ear has heard
// has reached the other recordings too.
class SourceEar {
public:
    SourceEar()
    {
        input_.SetOnListen([this](const int16_t* samples, int32_t count) {
            heard_.insert(heard_.end(), samples, samples + count);
        });
    }

    // Runs the calls posted to the main thread until anything has been heard: a microphone that adds silence
    // of its own hears what is fed only once the ear's stream is up.
    bool Listening()
    {
        return WaitUntil([this] {
            MainThreadQueue().Drain();
            return !heard_.empty();
        });
    }

    // Runs the calls posted to the main thread until the samples have been heard in a row; false when they
    // never were.
    bool Heard(const std::vector<int16_t>& samples) { return WaitUntil([this, &samples] { return Where(samples) >= 0; }); }

    // Where the samples start in what has been heard so far, or -1.
    std::ptrdiff_t Where(const std::vector<int16_t>& samples)
    {
        MainThreadQueue().Drain();
        const auto at = std::search(heard_.begin(), heard_.end(), samples.begin(), samples.end());
        return at == heard_.end() ? -1 : at - heard_.begin();
    }

private:
    std::vector<int16_t> heard_;
    TSovoMicInput input_{1024, 1, 22050, 2};
};

// count samples that tell their position: all above zero, no value repeated within 30011 samples, and
// neighbours far apart (a shifted or dropped sample shows at once).
inline std::vector<int16_t> Numbered(int32_t count)
{
    std::vector<int16_t> samples(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        samples[static_cast<size_t>(i)] = static_cast<int16_t>(static_cast<int64_t>(i) * 7919 % 30011 + 1);
    return samples;
}

// A 1024-sample sine with a period of 32 samples, whose crest sample is exactly peak.
inline std::vector<int16_t> ToneBlock(int16_t peak)
{
    std::vector<int16_t> block(1024);
    for (size_t k = 0; k < block.size(); ++k) {
        const double phase = 2 * std::numbers::pi * static_cast<double>(k) / 32;
        block[k] = static_cast<int16_t>(std::lround(peak * std::sin(phase)));
    }
    return block;
}

// 1024 samples, all of them below zero.
inline std::vector<int16_t> NegativeBlock()
{
    std::vector<int16_t> block(1024);
    for (size_t k = 0; k < block.size(); ++k)
        block[k] = static_cast<int16_t>(-1 - static_cast<int>(k * 31 % 32767));
    return block;
}

inline std::vector<int16_t> Joined(const std::vector<std::vector<int16_t>>& parts)
{
    std::vector<int16_t> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The utterance cut to whole 1024-sample blocks: the microphone drops a partial last buffer.
inline std::vector<int16_t> WholeBlocksOf(const std::string& wavFile)
{
    TWavFileSource source;
    source.Open(wavFile);
    const int16_t* samples = nullptr;
    const int32_t count = source.Read(1, samples, static_cast<int32_t>(source.TotalSamples()), 0);
    return std::vector<int16_t>(samples, samples + count / 1024 * 1024);
}

} // namespace mictest
