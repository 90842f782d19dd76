#pragma once
// How a dictionary holds the takes it loads: the first ones, up to a number of bytes of trajectory files, with
// their rows, as a small vocabulary always was; every other one in compact form only (TakeForms.h), taken from
// the cache where it holds the file as it is now, so that a large vocabulary starts without reading its rows.
#include <cstdint>
#include <functional>
#include <string>

#include "SovoTypes.h"
#include "TakeForms.h"
#include "TakeFormsCache.h"

class TTakeLoader {
public:
    TTakeLoader(uint64_t keptBytes, TTakeFormsCache& cache) : left_(keptBytes), cache_(cache) {}

    // The take whose file is path, into take (with or without its rows), and its forms. read reads the file
    // whole into a trajectory, raising the loading errors.
    TTakeForms Load(const std::string& path, TCommandTraj& take, const std::function<void(TCommandTraj&)>& read);

private:
    uint64_t left_;
    TTakeFormsCache& cache_;
};
