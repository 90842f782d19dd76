#pragma once
// The atoms of an utterance as they are made, kept in blocks that never move. A growing array moves all it
// holds whenever it grows, and while it moves holds it twice: for a long utterance that doubles the peak
// memory. The kept stretch is handed over at the end, each block given back as soon as it is copied; the first
// few are kept for the next utterance instead, so that a short one writes into memory the process already has
// rather than into fresh pages the system must fault in and clear.
#include <cstddef>
#include <memory>
#include <vector>

#include "SovoTypes.h"

class TAtomBlocks {
public:
    void Append(const TAtom& atom);
    size_t Size() const { return size_; }
    const TAtom& operator[](size_t index) const { return blocks_[index / kBlockAtoms][index % kBlockAtoms]; }
    // Replaces the contents of atoms by atoms first..end-1 and empties the blocks.
    void MoveOut(size_t first, size_t end, TArrayAtoms& atoms);
    void Clear();
    // Empties other and keeps its spare blocks as well, up to the number kept.
    void TakeSparesOf(TAtomBlocks& other);

private:
    static constexpr size_t kBlockAtoms = 64;   // about 400 KB
    static constexpr size_t kSpareBlocks = 8;   // about 1.5 s of speech
    void Release(std::vector<TAtom>& block);

    std::vector<std::vector<TAtom>> blocks_;
    std::vector<std::vector<TAtom>> spare_;   // empty, with room for kBlockAtoms
    size_t size_ = 0;
};
