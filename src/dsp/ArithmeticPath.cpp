#include "ArithmeticPath.h"

#include "WideVectors.h"

namespace {

TArithmeticPath currentPath = TArithmeticPath::Fast;
bool wideAllowed = true;

bool ProcessorHasWideVectors()
{
#if PARLANTO_WIDE_VECTORS
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

}  // namespace

TArithmeticPath ArithmeticPath()
{
    return currentPath;
}

void SetArithmeticPath(TArithmeticPath path)
{
    currentPath = path;
}

bool WideVectors()
{
    static const bool supported = ProcessorHasWideVectors();
    return wideAllowed && supported;
}

void AllowWideVectors(bool allowed)
{
    wideAllowed = allowed;
}
