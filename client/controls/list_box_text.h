// Texts of list box entries as GBK bytes, for the dialogs that build lists
// of area names.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace listbox {

std::vector<std::string> Texts(HWND list);
// The selected entry's text; empty when nothing is selected.
std::string SelectedText(HWND list);
bool HasSelection(HWND list);
void Add(HWND list, const std::string& text);
void Fill(HWND list, const std::vector<std::string>& entries);
// Adds unless an entry has exactly this text.
void AddUnlessPresent(HWND list, const std::string& text);
// Adds unless an entry begins with this text (the list box's own search from
// the first entry, letter case ignored).
void AddUnlessPrefixed(HWND list, const std::string& text);
// Deletes the selected entry, if any.
void DeleteSelected(HWND list);

}  // namespace listbox
