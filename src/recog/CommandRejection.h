#pragma once
// Whether an utterance is taken as the command it resembles most, or rejected as no command at all: a word
// outside the vocabulary, a cough, a door. Without rejection every utterance is answered with the nearest
// command, whatever was said.
//
// The rule is a threshold on the best command's likeness (Like): an utterance is a command when it resembles
// one of that command's examples at least that much. Noise under a word lowers its Like, so the bar is lower for
// an utterance in noise than for one in a quiet room; how noisy an utterance is shows in its own trajectory, as
// how far its loudest row stands above its quietest ones. Tried beside the Like and found no better where few
// right answers may be lost: the likeness measured against how a command's examples match one another (left
// out one at a time), against how all of the speaker's examples do, against the runner-up command, and against
// the best command's other examples.
#include <optional>
#include <string>

#include "MatchMode.h"
#include "SovoTypes.h"

struct TRejection {
    enum class TKind {
        Auto,        // on with aligned matching, off with classic: classic answers stay as they always were
        On,          // on in either mode, at the mode's own threshold
        Off,         // every utterance is answered with the nearest command
        Threshold,   // on in either mode, at the given Like whatever the noise
    };
    TKind Kind = TKind::Auto;
    double Like = 0.0;   // Threshold only: the Like (0..1) an utterance needs to be taken as a command
};

// "auto", "on", "off" or a Like from 0 to 1 ("0.4"); nothing for anything else.
std::optional<TRejection> RejectionNamed(const std::string& text);

// Whether utterances are rejected at all when matched in mode.
bool RejectsIn(const TRejection& rejection, TMatchMode mode);

// The Like the utterance needs to be taken as a command when matched in mode; nothing when rejection is off.
std::optional<double> AcceptanceThreshold(const TRejection& rejection, TMatchMode mode, const TCommandTraj& utterance);

// Whether an utterance whose best command scored like is taken as that command. like is -1 without command
// models: there is nothing to reject then, and the utterance counts as taken (its answer says there is no
// command).
bool IsAccepted(double like, const TCommandTraj& utterance, const TRejection& rejection, TMatchMode mode);
