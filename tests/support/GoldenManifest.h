#pragma once
// An evaluation manifest over the reference utterances: one speaker, vocabulary "cmd", the words open, close and
// stop with their three takes numbered 1..3 in the order given (e.g. {"train1", "test1", "train2"}).
#include <array>
#include <string>

#include "TempDir.h"

inline std::string WriteGoldenManifest(const TempDir& dir, const std::array<const char*, 3>& takes)
{
    const std::string golden = PARLANTO_GOLDEN_DIR;
    std::string manifest = "path,speaker,vocab,word,rep\n";
    for (const std::string word : {"open", "close", "stop"}) {
        for (size_t rep = 0; rep < takes.size(); ++rep)
            manifest += golden + "/wav/" + word + "_" + takes[rep] + ".wav,s,cmd," + word + "," +
                        std::to_string(rep + 1) + "\n";
    }
    return dir.Write("manifest.csv", manifest);
}
