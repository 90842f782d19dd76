#pragma once
// A model folder with broken command descriptions still serves with the others; the user learns which ones
// are missing on standard error, and standard output keeps only the results.
class TFileRecognizer;

void WarnOfUnloadedModels(const TFileRecognizer& recognizer);
