// The program's help: the compiled help file beside the program, shown by the
// platform's HTML help viewer. The viewer's library is loaded only when help
// is first asked for, so a machine without it still runs the client; a
// missing help file or viewer is not an error the user has to dismiss.
#pragma once

#include <windows.h>

#include <string>

namespace help {

// The help file's name beside the program.
constexpr char kHelpFileName[] = "TovanClient.chm";
// Help context of the chat window's topic.
constexpr DWORD kChatContext = 1011;

// The help file's full path.
std::string HelpFilePath();

// Opens the help window on the start page. Returns the help window, or
// nullptr when the file or the viewer is missing (nothing is shown then).
HWND ShowContents(HWND owner);
// Opens the help window on the topic mapped to `context` (HH_HELP_CONTEXT).
HWND ShowContext(HWND owner, DWORD context);
// Closes every help window this process opened; at the frame's end.
void CloseAll();

}  // namespace help
