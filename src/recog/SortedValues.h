#pragma once
// The values of a sliding window kept in ascending order as values enter and leave, so that its order
// statistics (medians) are at hand without sorting the window again.
#include <algorithm>
#include <cstddef>
#include <vector>

class TSortedValues {
public:
    void Insert(double value) { values_.insert(std::upper_bound(values_.begin(), values_.end(), value), value); }
    // Takes out one value equal to value, which must be held.
    void Remove(double value) { values_.erase(std::lower_bound(values_.begin(), values_.end(), value)); }
    void Clear() { values_.clear(); }
    double operator[](size_t index) const { return values_[index]; }

private:
    std::vector<double> values_;
};
