#include "client/controls/toolbar_ex.h"

CToolBarEx::~CToolBarEx() {
    Destroy();
    if (images_) ImageList_Destroy(images_);
}

bool CToolBarEx::CreateBar(HWND parent, UINT id, int width, int height) {
    HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | CCS_TOP | TBSTYLE_FLAT |
                                   TBSTYLE_WRAPABLE | TBSTYLE_TOOLTIPS,
                               0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               fw::Instance(), nullptr);
    if (!bar || !Subclass(bar)) return false;
    width_ = width;
    height_ = height;
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    images_ = ImageList_Create(width, height, ILC_COLOR24, 16, 16);
    SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
    SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
    SendMessageA(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(width + 7, height + 6));
    return true;
}

int CToolBarEx::AddImage(HBITMAP bitmap) {
    return images_ ? ImageList_Add(images_, bitmap, nullptr) : -1;
}

bool CToolBarEx::ReplaceImage(int image, HBITMAP bitmap) {
    return images_ && image >= 0 && ImageList_Replace(images_, image, bitmap, nullptr);
}

void CToolBarEx::RemoveAllImages() {
    if (images_) ImageList_RemoveAll(images_);
}

int CToolBarEx::ImageCount() const { return images_ ? ImageList_GetImageCount(images_) : 0; }

int CToolBarEx::ImageAt(int index) const {
    TBBUTTON b = {};
    if (!SendMessageA(hwnd(), TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b)))
        return -1;
    return (b.fsStyle & BTNS_SEP) ? -1 : b.iBitmap;
}

bool CToolBarEx::InsertButton(int index, int image, int commandId) {
    TBBUTTON b = {};
    b.iBitmap = image;
    b.idCommand = commandId;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_BUTTON;
    b.iString = -1;
    return SendMessageA(hwnd(), TB_INSERTBUTTONA, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&b)) != 0;
}

bool CToolBarEx::InsertSeparator(int index) {
    TBBUTTON b = {};
    b.fsStyle = BTNS_SEP;
    b.iString = -1;
    return SendMessageA(hwnd(), TB_INSERTBUTTONA, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&b)) != 0;
}

bool CToolBarEx::DeleteButton(int index) {
    return SendMessageA(hwnd(), TB_DELETEBUTTON, static_cast<WPARAM>(index), 0) != 0;
}

int CToolBarEx::ButtonCount() const {
    return static_cast<int>(SendMessageA(hwnd(), TB_BUTTONCOUNT, 0, 0));
}

int CToolBarEx::CommandToIndex(int commandId) const {
    return static_cast<int>(SendMessageA(hwnd(), TB_COMMANDTOINDEX, static_cast<WPARAM>(commandId), 0));
}

int CToolBarEx::CommandAt(int index) const {
    TBBUTTON b = {};
    if (!SendMessageA(hwnd(), TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b)))
        return -1;
    return (b.fsStyle & BTNS_SEP) ? 0 : b.idCommand;
}

bool CToolBarEx::IsSeparatorAt(int index) const {
    TBBUTTON b = {};
    return SendMessageA(hwnd(), TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b)) &&
           (b.fsStyle & BTNS_SEP);
}

int CToolBarEx::AutoSizedHeight() {
    // The control wraps its rows to its own width of the moment, then takes the
    // parent's: given the parent's width first, the rows and the height agree.
    RECT parent, bar;
    GetClientRect(GetParent(hwnd()), &parent);
    GetWindowRect(hwnd(), &bar);
    SetWindowPos(hwnd(), nullptr, 0, 0, parent.right, bar.bottom - bar.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(hwnd(), TB_AUTOSIZE, 0, 0);
    RECT r;
    GetWindowRect(hwnd(), &r);
    return r.bottom - r.top;
}
