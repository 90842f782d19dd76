#pragma once
// A model folder with broken command descriptions still serves with the others; the user learns which ones
// are missing on standard error, and standard output keeps only the results.
#include <string>

class TFileRecognizer;

void WarnOfUnloadedModels(const TFileRecognizer& recognizer);
// message: empty, or the one that names every command description that did not load.
void WarnOfUnloadedModels(const std::string& message);
