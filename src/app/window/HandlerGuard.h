#pragma once
// Every handler of the window and its dialog runs through here: an error it raises ends the handler and is
// shown in the standard error box, so that no exception crosses the event loop and the window stays usable.
#include <functional>

class QWidget;

void RunGuarded(QWidget* parent, const std::function<void()>& handler);
