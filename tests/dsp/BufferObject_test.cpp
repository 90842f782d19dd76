#include "BufferObject.h"

#include <gtest/gtest.h>

#include <vector>

#include "SovoError.h"

namespace {

std::vector<int16_t> Held(const TBufferObject& b)
{
    return b.Count() == 0 ? std::vector<int16_t>{} : std::vector<int16_t>(b.Data(), b.Data() + b.Count());
}

TEST(BufferObject, EmptyBufferHasNoDataAndClearKeepsItEmpty)
{
    TBufferObject b;
    EXPECT_EQ(b.Count(), 0);
    EXPECT_EQ(b.Data(), nullptr);
    b.Clear();
    EXPECT_EQ(b.Append(nullptr, 0), 0);
    EXPECT_EQ(b.Data(), nullptr);
    b.Delete(0);
    EXPECT_EQ(b.Count(), 0);
}

TEST(BufferObject, PeekPadsWithZerosBehindHeldSamplesAndNeverConsumes)
{
    struct Case { std::vector<int16_t> held; int32_t count; std::vector<int16_t> dest; int32_t copied; };
    const Case cases[] = {
        {{1, 2, 3}, 5, {1, 2, 3, 0, 0}, 3},
        {{1, 2, 3, 4, 5, 6, 7, 8}, 5, {1, 2, 3, 4, 5}, 5},
        {{1, 2, 3}, 3, {1, 2, 3}, 3},
        {{}, 2, {0, 0}, 0},
    };
    for (const Case& c : cases) {
        TBufferObject b;
        b.Append(c.held.data(), static_cast<int32_t>(c.held.size()));
        std::vector<int16_t> dest(c.dest.size(), 77);
        EXPECT_EQ(b.Peek(dest.data(), c.count), c.copied);
        EXPECT_EQ(dest, c.dest);
        EXPECT_EQ(Held(b), c.held);
    }
}

TEST(BufferObject, DeleteDropsOldestAndRefusesMoreThanHeld)
{
    TBufferObject b;
    const int16_t abc[] = {10, 20, 30};
    b.Append(abc, 3);
    b.Delete(1);
    EXPECT_EQ(Held(b), (std::vector<int16_t>{20, 30}));
    try {
        b.Delete(3);
        FAIL() << "Delete of more than held must throw";
    } catch (const ESovoError& e) {
        EXPECT_STREQ(e.what(), "Нельзя удалить больше данных, чем есть в буфере.");
    }
    EXPECT_EQ(Held(b), (std::vector<int16_t>{20, 30}));
    b.Delete(2);
    EXPECT_EQ(b.Data(), nullptr);
}

TEST(BufferObject, LongHopByHopStreamKeepsFifoOrder)
{
    // The pre-processor appends blocks and deletes hops; order must survive the internal compaction.
    TBufferObject b;
    int16_t next = 0, expected = 0;
    for (int round = 0; round < 500; ++round) {
        int16_t block[100];
        for (int16_t& s : block) s = next++;
        b.Append(block, 100);
        while (b.Count() >= 64) {
            ASSERT_EQ(b.Data()[0], expected);
            ASSERT_EQ(b.Data()[b.Count() - 1], static_cast<int16_t>(next - 1));
            b.Delete(64);
            expected = static_cast<int16_t>(expected + 64);
        }
    }
}

}  // namespace

namespace {

TEST(BufferObject, MixIntoTailAddsOntoNewestSamplesWithWrapAround)
{
    TBufferObject b;
    const int16_t held[] = {1, 2, 32767, -32768};
    b.Append(held, 4);
    const int16_t overlap[] = {10, 1, -1};
    b.MixIntoTail(overlap, 3);
    EXPECT_EQ(Held(b), (std::vector<int16_t>{1, 12, -32768, 32767}));

    TBufferObject shortBuffer;   // fewer held than mixed: the newest of the mixed samples land on them
    shortBuffer.Append(held, 1);
    shortBuffer.MixIntoTail(overlap, 3);
    EXPECT_EQ(Held(shortBuffer), (std::vector<int16_t>{0}));
}

}  // namespace
