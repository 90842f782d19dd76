#pragma once
// Runs the code in its scope with the fast loops at their narrow width when wide is false (two doubles, eight
// samples a step) and allows the wide ones again at the end, so that a test can compare the widths.
#include "ArithmeticPath.h"

class TVectorWidth {
public:
    explicit TVectorWidth(bool wide) { AllowWideVectors(wide); }
    ~TVectorWidth() { AllowWideVectors(true); }
    TVectorWidth(const TVectorWidth&) = delete;
    TVectorWidth& operator=(const TVectorWidth&) = delete;
};
