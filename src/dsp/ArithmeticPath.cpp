#include "ArithmeticPath.h"

namespace {

TArithmeticPath currentPath = TArithmeticPath::Fast;

bool ProcessorHasWideVectors()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

const bool processorHasWideVectors = ProcessorHasWideVectors();

}  // namespace

// Set before main; a static initializer elsewhere that ran earlier would only find the two-at-a-time loops.
bool arithmetic_path_detail::wideVectorsInUse = processorHasWideVectors;

TArithmeticPath ArithmeticPath()
{
    return currentPath;
}

void SetArithmeticPath(TArithmeticPath path)
{
    currentPath = path;
}

void AllowWideVectors(bool allowed)
{
    arithmetic_path_detail::wideVectorsInUse = allowed && processorHasWideVectors;
}
