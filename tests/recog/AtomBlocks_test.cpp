#include "AtomBlocks.h"

#include <gtest/gtest.h>

namespace {

// One set of blocks serves every case in turn, as it serves utterance after utterance: blocks kept from an
// earlier one must hand over only the new atoms.
TEST(AtomBlocks, HandOverAnyStretchInOrderAndEmptyThemselves)
{
    struct Case { size_t made, first, end; };
    const Case cases[] = {{0, 0, 0}, {1, 0, 1}, {64, 0, 64}, {65, 63, 65}, {300, 10, 290}, {300, 128, 192},
                          {300, 150, 150}, {1000, 0, 1000}, {300, 0, 300}, {2, 1, 2}};
    TAtomBlocks blocks;
    for (const Case& c : cases) {
        for (size_t i = 0; i < c.made; ++i) {
            TAtom atom;
            atom.SampleCount = static_cast<int32_t>(i);
            blocks.Append(atom);
        }
        ASSERT_EQ(blocks.Size(), c.made);
        if (c.made > 0) {
            EXPECT_EQ(blocks[c.made - 1].SampleCount, static_cast<int32_t>(c.made - 1));
        }
        TArrayAtoms atoms(3);   // whatever was there goes
        blocks.MoveOut(c.first, c.end, atoms);
        ASSERT_EQ(atoms.size(), c.end - c.first) << c.made << " " << c.first;
        for (size_t i = 0; i < atoms.size(); ++i)
            EXPECT_EQ(atoms[i].SampleCount, static_cast<int32_t>(c.first + i));
        EXPECT_EQ(blocks.Size(), 0u);
    }
}

TEST(AtomBlocks, StartAfreshAfterClear)
{
    TAtomBlocks blocks;
    for (int32_t round = 1; round <= 3; ++round) {
        for (int32_t i = 0; i < 100 * round; ++i) {
            TAtom atom;
            atom.SampleCount = round * 1000 + i;
            blocks.Append(atom);
        }
        if (round < 3)
            blocks.Clear();
    }
    TArrayAtoms atoms;
    blocks.MoveOut(0, blocks.Size(), atoms);
    ASSERT_EQ(atoms.size(), 300u);
    for (size_t i = 0; i < atoms.size(); ++i)
        EXPECT_EQ(atoms[i].SampleCount, static_cast<int32_t>(3000 + i));
}

}  // namespace
