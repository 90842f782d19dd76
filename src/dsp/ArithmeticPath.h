#pragma once
// Which implementation of the hot loops runs. The fast path gives the same atoms, tones and scores as the
// reference path (the straightforward loops); the reference path stays selectable so that tests can run both
// over whole utterances and compare them. Process-wide; switch it only while no recognition runs. Which fast
// loop stands for which plain one, and which test compares them, is mapped in README.md here.
enum class TArithmeticPath { Fast, Reference };

TArithmeticPath ArithmeticPath();
void SetArithmeticPath(TArithmeticPath path);

// Whether the fast path runs its loops four doubles at a time (256-bit vectors) rather than two. Only where
// the processor has AVX2, and only with the ordinary operations, none fused: each value goes through the
// same steps either way. Allowed by default; tests switch it off to compare the two-at-a-time loops too.
// Asked before every wide loop (ByVectorWidth in WideVectors.h), so it is a plain read.
namespace arithmetic_path_detail {
extern bool wideVectorsInUse;
}
inline bool WideVectors()
{
    return arithmetic_path_detail::wideVectorsInUse;
}
void AllowWideVectors(bool allowed);
