#include <algorithm>
#include <cstdint>
#include <vector>

#include "ExpectedErrors.h"
#include "FuzzEntries.h"
#include "ModelSet.h"
#include "Sovo.h"

namespace {

uint16_t LittleEndian16(const uint8_t* bytes)
{
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

void FeedBlocks(TSovoObject& sovo, const uint8_t* data, size_t size)
{
    std::vector<int16_t> block;
    size_t at = 0;
    while (at + 2 <= size) {
        const size_t count = LittleEndian16(data + at);
        at += 2;
        if (count == 0) {
            sovo.InputData(nullptr, 0);
            continue;
        }
        block.resize(std::min(count, (size - at) / 2));
        if (block.empty())
            break;
        for (int16_t& sample : block) {
            sample = static_cast<int16_t>(LittleEndian16(data + at));
            at += 2;
        }
        sovo.InputData(block.data(), static_cast<int32_t>(block.size()));
    }
    sovo.InputData(nullptr, 0);
}

}  // namespace

int FuzzRecognitionChain(const uint8_t* data, size_t size)
{
    return RunExpectingSovoErrors([&] {
        // A recognizer of its own per input: the stages carry state from utterance to utterance, and a finding
        // must not depend on the inputs run before it.
        TSovoObject sovo;
        LoadModelSet(sovo, PARLANTO_SHIPPED_MODELS);
        sovo.Dictionary->MatchMode = size > 0 && (data[0] & 1) != 0 ? TMatchMode::Aligned : TMatchMode::Classic;
        sovo.SetOnUtteranceEnd([&sovo] { sovo.RecognizeUtterance(); });
        if (size > 0)
            FeedBlocks(sovo, data + 1, size - 1);
    });
}
