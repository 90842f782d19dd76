#include "ReadBuffer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Supplies the samples 0, 1, 2, ... up to total, counting its calls.
struct CountingSupply {
    int32_t Total;
    int32_t Next = 0;
    int32_t Calls = 0;

    int32_t operator()(int16_t* dest, int32_t count)
    {
        ++Calls;
        int32_t written = 0;
        for (; written < count && Next < Total; ++written)
            dest[written] = static_cast<int16_t>(Next++);
        return written;
    }
};

struct SuppliedBuffer {
    SuppliedBuffer(int32_t capacity, int32_t total) : Buffer(capacity), Supply{total}
    {
        Buffer.OnRead = [this](int16_t* dest, int32_t count) { return Supply(dest, count); };
    }
    TReadBuffer Buffer;
    CountingSupply Supply;
};

std::vector<int16_t> Block(const int16_t* p, int32_t count)
{
    return std::vector<int16_t>(p, p + count);
}

std::vector<int16_t> Sequence(int32_t first, int32_t count)
{
    std::vector<int16_t> samples;
    for (int32_t i = 0; i < count; ++i)
        samples.push_back(static_cast<int16_t>(first + i));
    return samples;
}

TEST(ReadBuffer, WalksTheDataInConsecutiveBlocksAcrossRefills)
{
    struct Case {
        int32_t Capacity, Total, BlockSize;
    };
    // Block sizes that divide the capacity and ones that do not; totals on and off block boundaries.
    for (const Case& c : {Case{10, 25, 3}, Case{10, 30, 5}, Case{10, 30, 10}, Case{16, 100, 7}, Case{8, 0, 3}}) {
        SCOPED_TRACE(testing::Message() << "capacity " << c.Capacity << " total " << c.Total << " block " << c.BlockSize);
        SuppliedBuffer s(c.Capacity, c.Total);
        s.Buffer.Reset();
        const int16_t* p = nullptr;
        int32_t delivered = 0;
        for (int32_t got = s.Buffer.Read(0, c.BlockSize, p); got != 0; got = s.Buffer.Read(c.BlockSize, c.BlockSize, p)) {
            ASSERT_EQ(Block(p, got), Sequence(delivered, got));
            delivered += got;
            if (delivered < c.Total) {
                ASSERT_EQ(got, c.BlockSize) << "only the last block may be short";
            }
        }
        EXPECT_EQ(delivered, c.Total);
        EXPECT_TRUE(s.Buffer.EndOfData());
    }
}

TEST(ReadBuffer, RefillMovesTheUnreadTailToTheFront)
{
    SuppliedBuffer s(10, 100);
    s.Buffer.Reset();
    const int16_t* p = nullptr;
    ASSERT_EQ(s.Buffer.Read(0, 6, p), 6);
    ASSERT_EQ(s.Buffer.Read(6, 6, p), 6);
    EXPECT_EQ(Block(p, 6), Sequence(6, 6));
    EXPECT_EQ(s.Buffer.Index(), 0);
    EXPECT_EQ(s.Buffer.Valid(), 10);
    EXPECT_EQ(s.Supply.Calls, 2);
    EXPECT_EQ(s.Supply.Next, 16) << "only the consumed part was read again";
}

TEST(ReadBuffer, ARequestBeyondTheCapacityEndsTheDataUntilReset)
{
    SuppliedBuffer s(10, 1000);
    s.Buffer.Reset();
    const int16_t* p = nullptr;
    EXPECT_EQ(s.Buffer.Read(0, 25, p), 10);
    EXPECT_EQ(Block(p, 10), Sequence(0, 10));
    EXPECT_TRUE(s.Buffer.EndOfData());
    const int16_t* before = p;
    EXPECT_EQ(s.Buffer.Read(10, 3, p), 0);
    EXPECT_EQ(s.Buffer.Read(0, 1, p), 0);
    EXPECT_EQ(p, before) << "p is left alone when nothing is handed out";
    s.Buffer.Reset();
    EXPECT_FALSE(s.Buffer.EndOfData());
    EXPECT_EQ(s.Buffer.Read(0, 3, p), 3);
    EXPECT_EQ(Block(p, 3), Sequence(10, 3));
}

TEST(ReadBuffer, SkippingPastTheHeldSamplesStepsOverThemInTheSupply)
{
    struct Case {
        const char* Name;
        int32_t Skip, Count;
        int32_t Got, First;
        bool End;
    };
    const Case cases[] = {
        {"within the held samples", 5, 4, 4, 5, false},
        {"just past them", 8, 4, 4, 8, false},
        {"far past them", 30, 4, 4, 30, false},
        {"into the end", 97, 4, 3, 97, true},
        {"beyond the end", 150, 4, 0, 0, true},
        {"backwards", -1, 4, 0, 0, false},
        {"negative count", 1, -4, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        SuppliedBuffer s(8, 100);
        s.Buffer.Reset();
        const int16_t* p = nullptr;
        ASSERT_EQ(s.Buffer.Read(0, 1, p), 1);
        ASSERT_EQ(s.Buffer.Read(c.Skip, c.Count, p), c.Got);
        if (c.Got > 0) {
            EXPECT_EQ(Block(p, c.Got), Sequence(c.First, c.Got));
        }
        EXPECT_EQ(s.Buffer.EndOfData(), c.End);
    }
}

TEST(ReadBuffer, WithoutStorageOrSupplyNothingIsHandedOut)
{
    SuppliedBuffer empty(0, 100);
    empty.Buffer.Reset();
    const int16_t* p = nullptr;
    EXPECT_EQ(empty.Buffer.Read(0, 4, p), 0);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(empty.Supply.Calls, 0);

    TReadBuffer unsupplied(8);
    unsupplied.Reset();
    EXPECT_EQ(unsupplied.Read(0, 4, p), 0);
    EXPECT_TRUE(unsupplied.EndOfData());
}

} // namespace
