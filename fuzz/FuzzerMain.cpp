// The libFuzzer main of one target: PARLANTO_FUZZ_ENTRY names its entry function (fuzz/CMakeLists.txt).
#include <cstddef>
#include <cstdint>

#include "FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return PARLANTO_FUZZ_ENTRY(data, size);
}
