#pragma once
// The window's boxes the user expects to find as they left them: "Microphone" and "Aligned matching". The
// matcher is chosen before the window is made (MatchModeSetting.h); the microphone is ticked afterwards, as the
// user would, so that a microphone that cannot be opened shows why and leaves the box cleared, and cleared it
// is remembered.
#include <QSettings>

class TMainForm;

// Ticks "Microphone" when it was ticked last time, and from now on stores every change of either box.
// settings must outlive the window.
void RememberChoices(TMainForm& window, QSettings& settings);
