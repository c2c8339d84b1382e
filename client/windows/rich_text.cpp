#include "client/windows/rich_text.h"

#include <richedit.h>

#include <climits>
#include <vector>

namespace rich {
namespace {

void SelectEnd(HWND edit) {
    CHARRANGE end = {LONG_MAX, LONG_MAX};  // the control clamps it to the end
    SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
}

void SetSelectionFormat(HWND edit, DWORD mask, DWORD effects, COLORREF colour) {
    CHARFORMAT2A cf = {};
    cf.cbSize = sizeof cf;
    cf.dwMask = mask;
    cf.dwEffects = effects;
    cf.crTextColor = colour;
    SendMessageA(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
}

void ReplaceSelection(HWND edit, const std::string& text) {
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

DWORD CALLBACK ReadFromFile(DWORD_PTR file, LPBYTE buffer, LONG size, LONG* done) {
    DWORD got = 0;
    ReadFile(reinterpret_cast<HANDLE>(file), buffer, static_cast<DWORD>(size), &got, nullptr);
    *done = static_cast<LONG>(got);
    return 0;
}

DWORD CALLBACK WriteToFile(DWORD_PTR file, LPBYTE buffer, LONG size, LONG* done) {
    DWORD put = 0;
    const BOOL ok = WriteFile(reinterpret_cast<HANDLE>(file), buffer, static_cast<DWORD>(size), &put, nullptr);
    *done = static_cast<LONG>(put);
    // A short write (a full disk) ends the stream as a failure.
    return ok && put == static_cast<DWORD>(size) ? 0 : 1;
}

}  // namespace

void SetChatDefaultFormat(HWND edit) {
    CHARFORMAT2A cf = {};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_SIZE | CFM_COLOR;
    cf.yHeight = 250;
    cf.crTextColor = RGB(255, 0, 0);
    SendMessageA(edit, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    // Also on the (empty) text: some rich edits give new text the format of
    // the paragraph mark that is already there, not the default.
    SendMessageA(edit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
}

void Append(HWND edit, const std::string& text, COLORREF colour) {
    SelectEnd(edit);
    // The link effect is cleared too: text after a link must not become one.
    SetSelectionFormat(edit, CFM_COLOR | CFM_LINK, 0, colour);
    ReplaceSelection(edit, text);
    ScrollToBottom(edit);
}

void AppendLink(HWND edit, const std::string& text) {
    SelectEnd(edit);
    SetSelectionFormat(edit, CFM_LINK, CFE_LINK, 0);
    ReplaceSelection(edit, text);
}

std::string MarkAnswered(HWND edit, LONG from, LONG to) {
    CHARRANGE r = {from, to};
    SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    const std::string text = SelectedText(edit);
    SetSelectionFormat(edit, CFM_COLOR | CFM_LINK, 0, RGB(255, 0, 0));
    ReplaceSelection(edit, text);
    return text;
}

std::string SelectedText(HWND edit) {
    CHARRANGE r = {};
    SendMessageA(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    if (r.cpMax <= r.cpMin) return std::string();
    std::vector<char> buf(static_cast<size_t>(r.cpMax - r.cpMin) * 2 + 1);
    const LRESULT n = SendMessageA(edit, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buf.data()));
    return std::string(buf.data(), static_cast<size_t>(n > 0 ? n : 0));
}

LONG Find(HWND edit, const std::string& what, LONG from, bool down) {
    FINDTEXTEXA find = {};
    find.chrg.cpMin = from;
    find.chrg.cpMax = down ? -1 : 0;
    find.lpstrText = what.c_str();
    return static_cast<LONG>(
        SendMessageA(edit, EM_FINDTEXTEX, down ? FR_DOWN : 0, reinterpret_cast<LPARAM>(&find)));
}

void ScrollToBottom(HWND edit) { PostMessageA(edit, WM_VSCROLL, SB_BOTTOM, 0); }

bool LoadRtf(HWND edit, const std::string& path, bool append, bool createMissing) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              createMissing ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    if (append) SelectEnd(edit);
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(file);
    stream.pfnCallback = ReadFromFile;
    SendMessageA(edit, EM_STREAMIN, append ? (SF_RTF | SFF_SELECTION) : SF_RTF,
                 reinterpret_cast<LPARAM>(&stream));
    CloseHandle(file);
    return true;
}

bool SaveRtf(HWND edit, const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(file);
    stream.pfnCallback = WriteToFile;
    SendMessageA(edit, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    CloseHandle(file);
    return stream.dwError == 0;
}

}  // namespace rich
