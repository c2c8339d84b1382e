// What a program does when it cannot make its main window: it says why
// before it ends, instead of leaving the user with nothing on the screen.
#pragma once

#include <windows.h>

namespace fw {

// The exit code of a program that could not make its main window.
constexpr int kNoMainWindowExitCode = 1;

// Tells the user that the main window could not be made, with the system's
// text for error (as GetLastError gave it), in the application's message
// box; where not even a message box can be made (no display), on the
// standard error output, for whoever started the program from a console or
// a script. Returns kNoMainWindowExitCode.
int ReportNoMainWindow(DWORD error);

}  // namespace fw
