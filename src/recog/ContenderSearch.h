#pragma once
// Recognition in a large vocabulary: what is shown of an utterance is the best command with its score and the
// runner-up's score (Like and Distance). A first pass bounds every take from its compact form; the commands are
// then scored exactly from the highest bound down, until no command left could reach the best or the runner-up.
#include <memory>
#include <vector>

#include "SovoDict.h"
#include "TakeMatcher.h"

// Scores exactly every command that may be the best or the runner-up, and leaves every other one with its
// bound (LastScoreExact false), which its exact score does not exceed. The best command, its score and the
// highest exact score below it are those of scoring every command exactly.
void ScoreContenders(const std::vector<std::unique_ptr<TVoiceCommandModel>>& models, const TTakeMatcher& matcher);
