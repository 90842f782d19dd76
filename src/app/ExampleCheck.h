#pragma once
// What may be wrong with an utterance about to be saved as an example of a command. Nothing here refuses a
// save: the user hears the warning and decides.
#include <cstdint>
#include <span>
#include <vector>

#include "SovoDict.h"
#include "SovoTypes.h"

enum class TExampleWarning {
    TooQuiet,      // the loudest sample is below 1/32 of full scale (-30 dBFS)
    Clipped,       // the recording hit full scale: its loudest parts are cut off
    MostlyNoise,   // the loud tenth of the hops is less than 15 dB above the quiet tenth: the noise is nearly
                   // as loud as the word
    Different,     // it matches the command's other examples far worse than they match each other
};

// samples: the utterance as the pre-processor kept it; utterance: its trajectory; command: the command it is to
// join, or nullptr for a new command (nothing to compare with). The comparison with the other examples is
// made by the aligned matcher whichever matcher recognizes: the classic one tells a word from another too
// poorly to judge an example.
std::vector<TExampleWarning> CheckExample(std::span<const int16_t> samples, const TCommandTraj& utterance,
                                          const TVoiceCommandModel* command);
