#pragma once
// Runs one fuzz input's work; the system's own errors (ESovoError) are outcomes the program reports to the user,
// so they end the input normally. Any other exception passes on as a finding.
#include "SovoError.h"

template <typename Work>
int RunExpectingSovoErrors(Work&& work)
{
    try {
        work();
    } catch (const ESovoError&) {
    }
    return 0;
}
