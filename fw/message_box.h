// The application's message box: a message box shown without a caption of
// its own carries the application's title.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// The application's title. Until a program sets it, the name of the program
// file without folder and extension ("TovanClient" for TovanClient.exe).
std::string AppTitle();
void SetAppTitle(const std::string& title);

// MessageBoxA; a null caption gives AppTitle(), a null owner MainWindow().
// The box stands over the owner's window (while that is shown), not in the
// middle of the screen.
int AppMessageBox(HWND owner, const std::string& text, const char* caption = nullptr,
                  UINT type = MB_OK);

// AppMessageBox with an OK button that closes by itself after timeoutMs,
// answering IDOK: for news that must not hold up a program nobody watches.
int TimedMessageBox(HWND owner, const std::string& text, const char* caption, DWORD timeoutMs);

}  // namespace fw
