#pragma once
// The recordings of an evaluation corpus, listed by a CSV manifest with the columns path, speaker, vocab, word
// and rep (further columns are ignored). Paths are relative to the manifest's folder unless absolute.
#include <string>
#include <vector>

struct TEvalTake {
    std::string Path;
    std::string Speaker;
    std::string Vocab;   // the vocabulary: the set of words one speaker enrolls together
    std::string Word;
    int Take = 0;        // the manifest's rep: takes 1, 2, ... are a speaker's repetitions in recording order
};

std::vector<TEvalTake> ReadEvalManifest(const std::string& csvFile);
