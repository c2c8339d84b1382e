#include "client/core/area_tree_pane.h"

#include <commctrl.h>

#include <string>

namespace {

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const std::string& text) {
    TVINSERTSTRUCTA ins = {};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<char*>(text.c_str());
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}


}  // namespace

CDockDialog::CDockDialog() {
    margins = {0, 6, 4, 0};
    // Only the close glyph reacts: the pane is neither dragged nor resized.
    ignoreNcPress = true;
}

bool CDockDialog::CreatePane(HWND frame, UINT id) {
    if (!CreateBar("地区列表", frame, id, Dock::Right)) return false;
    tree_ = CreateWindowExA(0, WC_TREEVIEWA, "",
                            WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES |
                                TVS_SHOWSELALWAYS | TVS_SINGLEEXPAND | TVS_NOHSCROLL,
                            0, 0, 0, 0, hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTreeId)),
                            GetModuleHandleA(nullptr), nullptr);
    if (!tree_) return false;
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(114, GetDeviceCaps(fw::gdi::WindowDc(nullptr), LOGPIXELSY), 720);  // 11.4 points
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, "宋体", LF_FACESIZE);
    font_.Reset(CreateFontIndirectA(&lf));
    SendMessageA(tree_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    return true;
}

void CDockDialog::SetBackColor(COLORREF c) {
    if (tree_) SendMessageA(tree_, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(c));
}

void CDockDialog::Fill(const tovan::AreaTreeNode& root) {
    root_ = root;
    places_.clear();
    // Emptying the tree would run the selection handler for each change.
    auto handler = std::move(onSelection);
    onSelection = nullptr;
    SendMessageA(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    HTREEITEM top = InsertItem(tree_, TVI_ROOT, root_.text);
    for (const tovan::AreaTreeNode& province : root_.children) {
        HTREEITEM p = InsertItem(tree_, top, province.text);
        std::vector<HTREEITEM> items;
        for (const tovan::AreaTreeNode& place : province.children) {
            items.push_back(InsertItem(tree_, p, place.text));
        }
        places_.push_back(std::move(items));
    }
    onSelection = std::move(handler);
}

void CDockDialog::Select(const tovan::AreaTreePlace& place) {
    if (place.province >= places_.size() || place.place >= places_[place.province].size()) return;
    HTREEITEM item = places_[place.province][place.place];
    SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    ShowSelection();
}

// The own city may sit far down a long province; the user must see it
// selected, also after the pane gets its real size.
void CDockDialog::ShowSelection() {
    if (HTREEITEM item = TreeView_GetSelection(tree_)) TreeView_EnsureVisible(tree_, item);
}

void CDockDialog::OnSelChanged(HTREEITEM item) {
    if (!item || !onSelection) return;
    tovan::AreaTreeSelection sel;
    sel.text = ItemText(tree_, item);
    if (HTREEITEM parent = TreeView_GetParent(tree_, item)) sel.parentText = ItemText(tree_, parent);
    sel.hasChildren = TreeView_GetChild(tree_, item) != nullptr;
    onSelection(sel);
}

bool CDockDialog::OnPaneMessage(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_SIZE:
        if (tree_) {
            MoveWindow(tree_, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
            ShowSelection();
        }
        result = 0;
        return true;
    case WM_NOTIFY: {
        const auto* nm = reinterpret_cast<const NMTREEVIEWA*>(lp);
        if (nm->hdr.idFrom == kTreeId && nm->hdr.code == TVN_SELCHANGEDA) {
            OnSelChanged(nm->itemNew.hItem);
            result = 0;
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

std::string ItemText(HWND tree, HTREEITEM item) {
    char buf[256] = {};
    TVITEMA it = {};
    it.mask = TVIF_TEXT;
    it.hItem = item;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    return buf;
}
