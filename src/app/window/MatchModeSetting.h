#pragma once
// Which matcher the window starts with: the one its command line names, else the one the user ticked last
// time, else aligned — a microphone always records a moment of silence or room noise before the word, which
// the aligned matcher finds its way around and the classic one does not. Classic stays one tick away.
#include <QSettings>
#include <optional>

#include "MatchMode.h"

// The matcher last stored in settings; aligned when none (or a name no matcher has) is stored.
TMatchMode StoredMatchMode(const QSettings& settings);
void StoreMatchMode(QSettings& settings, TMatchMode mode);

// given: what the command line asks for, if anything; it wins over what is stored.
TMatchMode StartMatchMode(std::optional<TMatchMode> given, const QSettings& settings);
