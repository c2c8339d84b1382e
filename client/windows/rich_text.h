// Rich edit helpers of the chat windows: coloured lines and links appended
// at the end, the default format, and RTF files streamed in and out through
// the control's own streaming (EM_STREAMIN / EM_STREAMOUT).
#pragma once

#include <windows.h>

#include <string>

namespace rich {

// Height 250 twips, red: the chat windows' default character format.
void SetChatDefaultFormat(HWND edit);
// Text at the end in one colour, no link; the view is scrolled to the bottom.
void Append(HWND edit, const std::string& text, COLORREF colour);
// Text at the end as a link (its colour is the one before it).
void AppendLink(HWND edit, const std::string& text);
// Selects [from, to) and replaces it by the same text in red, no longer a
// link; returns that text.
std::string MarkAnswered(HWND edit, LONG from, LONG to);
// The selected text.
std::string SelectedText(HWND edit);
// Where `what` starts, searching from `from` down or up; -1 when absent.
LONG Find(HWND edit, const std::string& what, LONG from, bool down);
void ScrollToBottom(HWND edit);

// Reads an RTF file into the control: the whole text, or at the end of the
// text when `append` is set. With createMissing a missing file is created
// empty. False when the file cannot be opened.
bool LoadRtf(HWND edit, const std::string& path, bool append, bool createMissing);
// Writes the whole text as RTF, the file created anew; false when it cannot be.
bool SaveRtf(HWND edit, const std::string& path);

}  // namespace rich
