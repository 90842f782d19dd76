#pragma once
// eval's report on rejection: what was rejected and accepted per speaker and overall, and how well Like and
// Distance tell right answers from unknown words and from non-speech.
#include <optional>
#include <string>

#include "RejectionSummary.h"

// An area under the ROC curve to three decimals, or "-" for none.
std::string AucText(const std::optional<double>& auc);

// "12/400 3%": a count, its total and the share.
std::string CountText(size_t count, size_t total);

// One line: how many right answers rejection cost and the accuracy among the accepted takes.
void PrintRejectionCost(const TRejectionCounts& counts);

void PrintRejectionReport(const TRejectionSummary& summary);
