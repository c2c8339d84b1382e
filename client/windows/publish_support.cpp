#include "client/windows/publish_support.h"

#include "client/model/area_scope.h"
#include "fw/dialog.h"
#include "client/controls/menu_ex.h"
#include "client/windows/logic/phrase_lists.h"
#include "fw/profile.h"
#include "client/windows/resend_options_dlg.h"
#include "client/res/resource.h"

namespace publish {

std::vector<std::string> AreaList(const std::string& areaFile, const std::string& section,
                                  const char* key, std::size_t bufferSize) {
    return tovan::SplitAreaList(
        fw::ReadProfileString(areaFile, section.c_str(), key, "", bufferSize));
}

std::vector<std::string> PhraseList(const std::string& configFile, const char* key,
                                    std::size_t bufferSize) {
    return tovan::SplitPhraseList(
        fw::ReadProfileString(configFile, tovan::kSentenceSection, key, "", bufferSize));
}

void AddComboItems(HWND combo, const std::vector<std::string>& items) {
    for (const std::string& s : items)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
}

void AddListItems(HWND list, const std::vector<std::string>& items) {
    for (const std::string& s : items)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
}

namespace {

std::string ItemText(HWND control, LRESULT index, UINT lenMsg, UINT textMsg) {
    const LRESULT n = SendMessageA(control, lenMsg, static_cast<WPARAM>(index), 0);
    if (n <= 0) return {};
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    const LRESULT got = SendMessageA(control, textMsg, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got > 0 && got <= n ? static_cast<std::size_t>(got) : 0);
    return text;
}

}  // namespace

std::string ComboSelection(HWND combo) {
    const LRESULT i = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    return i == CB_ERR ? std::string() : ItemText(combo, i, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

std::string ListSelection(HWND list) {
    const LRESULT i = SendMessageA(list, LB_GETCURSEL, 0, 0);
    return i == LB_ERR ? std::string() : ItemText(list, i, LB_GETTEXTLEN, LB_GETTEXT);
}

std::vector<std::string> ListItems(HWND list) {
    std::vector<std::string> items;
    const LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) items.push_back(ItemText(list, i, LB_GETTEXTLEN, LB_GETTEXT));
    return items;
}

void SelectComboPrefix(HWND combo, const std::string& name) {
    if (name.empty()) return;
    SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(name.c_str()));
}

void ShowOfferManagementMenu(HWND frame) {
    CMenuEx menu;
    if (!menu.CreatePopupMenu()) return;
    menu.AppendMenu(MF_STRING, ID_MY_OFFERS, "我的信息");
    menu.AppendMenu(MF_STRING, ID_RESEND_MANAGER, "重发信息");
    POINT pt;
    GetCursorPos(&pt);
    // Without TPM_RETURNCMD the chosen command is posted to the frame.
    menu.TrackPopupMenu(0, pt.x, pt.y, frame);
}

void AskResendOptions(HWND parent, int& count, int& interval) {
    CChongfa options(parent);
    options.DoModal();  // how it ended does not matter: Cancel gives 0 and 0
    count = options.resendCount;
    interval = options.resendInterval;
}

std::string TextCut(HWND control, std::size_t limit) {
    std::string text = fw::GetText(control);
    if (text.size() > limit) text.resize(limit);
    return text;
}

}  // namespace publish
