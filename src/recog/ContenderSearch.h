#pragma once
// Recognition in a large vocabulary: what is shown of an utterance is the best command with its score and the
// runner-up's score (Like and Distance). A first pass bounds every take cheaply from its compact form; the
// commands are then taken from the highest bound down, until no command left could reach the best or the
// runner-up. One that still could gets the matcher's dearer bound at the runner-up's score first, and is
// matched in full only if that too leaves it in the race.
#include <memory>
#include <vector>

#include "SovoDict.h"
#include "TakeMatcher.h"

// Scores exactly every command that may be the best or the runner-up, and leaves every other one with its
// bound (LastScoreExact false), which its exact score does not exceed. The best command, its score and the
// highest exact score below it are those of scoring every command exactly.
void ScoreContenders(const std::vector<std::unique_ptr<TVoiceCommandModel>>& models, const TTakeMatcher& matcher);
