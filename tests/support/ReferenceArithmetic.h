#pragma once
// Runs the code in its scope on the reference arithmetic (the straightforward loops) and goes back to the
// fast arithmetic at the end, so that a test can compute the same thing both ways.
#include "ArithmeticPath.h"

class TReferenceArithmetic {
public:
    TReferenceArithmetic() { SetArithmeticPath(TArithmeticPath::Reference); }
    ~TReferenceArithmetic() { SetArithmeticPath(TArithmeticPath::Fast); }
    TReferenceArithmetic(const TReferenceArithmetic&) = delete;
    TReferenceArithmetic& operator=(const TReferenceArithmetic&) = delete;
};
