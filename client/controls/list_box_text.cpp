#include "client/controls/list_box_text.h"

namespace listbox {
namespace {

std::string EntryText(HWND list, WPARAM index) {
    const LRESULT len = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    if (len == LB_ERR || len <= 0) return {};
    std::string text(static_cast<size_t>(len) + 1, '\0');
    const LRESULT got = SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got == LB_ERR || got < 0 ? 0 : static_cast<size_t>(got));
    return text;
}

}  // namespace

std::vector<std::string> Texts(HWND list) {
    std::vector<std::string> out;
    const LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) out.push_back(EntryText(list, static_cast<WPARAM>(i)));
    return out;
}

bool HasSelection(HWND list) { return SendMessageA(list, LB_GETCURSEL, 0, 0) != LB_ERR; }

std::string SelectedText(HWND list) {
    const LRESULT sel = SendMessageA(list, LB_GETCURSEL, 0, 0);
    return sel == LB_ERR ? std::string() : EntryText(list, static_cast<WPARAM>(sel));
}

void Add(HWND list, const std::string& text) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Fill(HWND list, const std::vector<std::string>& entries) {
    for (const std::string& e : entries) Add(list, e);
}

void AddUnlessPresent(HWND list, const std::string& text) {
    for (const std::string& e : Texts(list)) {
        if (e == text) return;
    }
    Add(list, text);
}

void AddUnlessPrefixed(HWND list, const std::string& text) {
    const LRESULT found = SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text.c_str()));
    if (found == LB_ERR) Add(list, text);
}

void DeleteSelected(HWND list) {
    const LRESULT sel = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (sel != LB_ERR) SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(sel), 0);
}

}  // namespace listbox
