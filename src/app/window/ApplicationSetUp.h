#pragma once
// What the program sets up once, before its first window. The window tests set up the same, so that they meet
// the window as the program shows it.
#include <QString>

// The main window's caption and the title of the program's message boxes. Deliberately not the application's
// display name: on X11 Qt appends that to every window title, and the caption with a file would carry the
// program's name twice.
inline const QString kProgramName = "Brenvik Parlanto";

// Call once the application object exists.
void SetUpApplication();
