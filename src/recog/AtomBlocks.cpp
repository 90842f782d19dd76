#include "AtomBlocks.h"

#include <algorithm>

void TAtomBlocks::Append(const TAtom& atom)
{
    if (size_ % kBlockAtoms == 0) {
        if (spare_.empty()) {
            blocks_.emplace_back();
            blocks_.back().reserve(kBlockAtoms);
        } else {
            blocks_.push_back(std::move(spare_.back()));
            spare_.pop_back();
        }
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
        Release(blocks_[b]);
    }
    Clear();
}

void TAtomBlocks::Clear()
{
    for (std::vector<TAtom>& block : blocks_)
        Release(block);
    blocks_.clear();
    size_ = 0;
}

void TAtomBlocks::TakeSparesOf(TAtomBlocks& other)
{
    other.Clear();
    for (std::vector<TAtom>& block : other.spare_)
        Release(block);
    other.spare_.clear();
}

void TAtomBlocks::Release(std::vector<TAtom>& block)
{
    if (block.capacity() > 0 && spare_.size() < kSpareBlocks) {
        block.clear();
        spare_.push_back(std::move(block));
    }
    std::vector<TAtom>().swap(block);   // whatever is left goes back to the system
}
