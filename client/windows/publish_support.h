// What the three publishing dialogs share: their lists from area.ini and
// Config.ini [Sentence], list and combo helpers, the "信息管理" popup whose
// commands go to the main frame, and the resend options.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace publish {

// area.ini [section] key, split at "\", read into a buffer of bufferSize bytes.
std::vector<std::string> AreaList(const std::string& areaFile, const std::string& section,
                                  const char* key, std::size_t bufferSize);
// Config.ini [Sentence] key, split at "/", read into a buffer of bufferSize bytes.
std::vector<std::string> PhraseList(const std::string& configFile, const char* key,
                                    std::size_t bufferSize);

// Combo boxes and list boxes by handle.
void AddComboItems(HWND combo, const std::vector<std::string>& items);
void AddListItems(HWND list, const std::vector<std::string>& items);
// The text of the selected item, empty when nothing is selected.
std::string ComboSelection(HWND combo);
std::string ListSelection(HWND list);
std::vector<std::string> ListItems(HWND list);
// The combo's own prefix search from the top; an empty name selects nothing.
void SelectComboPrefix(HWND combo, const std::string& name);

// The popup of label "信息管理" at the cursor: "我的信息" (32782) and "重发信息"
// (32794), sent as commands to `frame`.
void ShowOfferManagementMenu(HWND frame);

// Shows the resend options modally over `parent` and hands back what they
// hold afterwards (0 and 0 when cancelled: no repeats).
void AskResendOptions(HWND parent, int& count, int& interval);

// At most `limit` bytes of the control's text.
std::string TextCut(HWND control, std::size_t limit);

// Why an offer longer than what the frame sends is refused.
constexpr char kOfferTooLongMessage[] = "信息内容不能超过200个字节(100个汉字)，请删减后再发布";

}  // namespace publish
