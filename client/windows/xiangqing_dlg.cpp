#include "client/windows/xiangqing_dlg.h"

#include <algorithm>

#include "client/res/resource.h"

CXiangqing::CXiangqing(HWND parent) : CDialogEx(IDD_XIANGQING, parent) {}

void CXiangqing::BindControls() { Bind(textBox_, IDC_XIANGQING_TEXT); }

BOOL CXiangqing::OnInitDialog() {
    CDialogEx::OnInitDialog();
    // Shown again: the old box is gone, and its font with it.
    font_.Reset(CreateFontA(22, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH, "Arial"));
    SendItem(IDC_XIANGQING_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    fw::SetText(hwnd(), "信息详情-- 来自 " + from);
    std::string shown = text;
    shown.erase(std::remove_if(shown.begin(), shown.end(), [](char c) { return c == '\x02' || c == '\x03'; }),
                shown.end());
    SetItemText(IDC_XIANGQING_TEXT, shown);
    return TRUE;
}
