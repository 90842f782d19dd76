#pragma once
// Recognizes WAV files the way the window does: one facade with a model folder loaded, a file input with
// 1024-sample blocks, Restart before each file. State carries from file to file, as in a running program,
// unless a file is recognized fresh.
#include <memory>
#include <string>
#include <vector>

#include "Sovo.h"

struct TModelScore {
    std::string Name;
    double Score = 0.0;
    bool Exact = true;   // false: Score is a bound the command's score does not exceed (a large vocabulary's
                         // command that was no contender)
};

struct TFileResult {
    bool Recognized = false;        // false when the utterance gave no result (no atoms or no trajectory)
    std::string CommandName;
    bool Accepted = false;          // false when the utterance was rejected as no command (CommandRejection.h)
    double Like = 0.0;
    double Distance = 0.0;
    std::vector<TModelScore> Models;
};

class TFileRecognizer {
public:
    // Loads the model folder; its commands are matched the way match says. Command descriptions that do not
    // load are left out and the others serve: UnloadedModels names them.
    explicit TFileRecognizer(const std::string& modelsDir, TMatchMode match = TMatchMode::Classic);
    ~TFileRecognizer();

    TFileResult Recognize(const std::string& wavFile);
    // The same from the state of a newly made recognizer (TSovoObject::StartFresh): the answer does not depend
    // on the files before, and no model is loaded again.
    TFileResult RecognizeFresh(const std::string& wavFile);
    TSovoObject& Sovo() { return sovo_; }
    const std::string& ModelsDir() const { return modelsDir_; }
    // Empty, or the message that names every command description of the folder that did not load.
    const std::string& UnloadedModels() const { return unloadedModels_; }

private:
    std::string modelsDir_;
    std::string unloadedModels_;
    TSovoObject sovo_;
    std::unique_ptr<TSovoFileInput> input_;
    bool reported_ = false;
};
