#pragma once
// Which implementation of the hot loops runs. The fast path gives the same atoms, tones and scores as the
// reference path (the straightforward loops); the reference path stays selectable so that tests can run both
// over whole utterances and compare them. Process-wide; switch it only while no recognition runs.
enum class TArithmeticPath { Fast, Reference };

TArithmeticPath ArithmeticPath();
void SetArithmeticPath(TArithmeticPath path);
