#include "AtomBlocks.h"

#include <algorithm>

void TAtomBlocks::Append(const TAtom& atom)
{
    if (size_ % kBlockAtoms == 0) {
        blocks_.emplace_back();
        blocks_.back().reserve(kBlockAtoms);
    }
    blocks_.back().push_back(atom);
    ++size_;
}

void TAtomBlocks::MoveOut(size_t first, size_t end, TArrayAtoms& atoms)
{
    atoms.clear();
    atoms.reserve(end > first ? end - first : 0);
    for (size_t b = 0; b < blocks_.size(); ++b) {
        const size_t blockStart = b * kBlockAtoms;
        const size_t from = std::clamp(first, blockStart, blockStart + blocks_[b].size());
        const size_t to = std::clamp(end, from, blockStart + blocks_[b].size());
        atoms.insert(atoms.end(), blocks_[b].begin() + static_cast<std::ptrdiff_t>(from - blockStart),
                     blocks_[b].begin() + static_cast<std::ptrdiff_t>(to - blockStart));
        std::vector<TAtom>().swap(blocks_[b]);
    }
    Clear();
}

void TAtomBlocks::Clear()
{
    blocks_.clear();
    size_ = 0;
}
