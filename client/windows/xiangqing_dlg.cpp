#include "client/windows/xiangqing_dlg.h"

#include <algorithm>

#include "client/res/resource.h"

CXiangqing::CXiangqing(HWND parent) : CDialogEx(IDD_XIANGQING, parent) {}

CXiangqing::~CXiangqing() {
    if (font_) DeleteObject(font_);
}

void CXiangqing::BindControls() { Bind(textBox_, IDC_XIANGQING_TEXT); }

BOOL CXiangqing::OnInitDialog() {
    CDialogEx::OnInitDialog();
    if (font_) DeleteObject(font_);  // shown again: the old box is gone
    font_ = CreateFontA(22, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH, "Arial");
    SendItem(IDC_XIANGQING_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    fw::SetText(hwnd(), "信息详情-- 来自 " + from);
    std::string shown = text;
    shown.erase(std::remove_if(shown.begin(), shown.end(), [](char c) { return c == '\x02' || c == '\x03'; }),
                shown.end());
    SetItemText(IDC_XIANGQING_TEXT, shown);
    return TRUE;
}
