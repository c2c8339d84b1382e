// The area tree pane: a tree of the areas of area.ini (root "全部", the
// provinces, under each its cities and counties) docked at the frame's right.
// Selecting an item tells the frame, which decides whether the list switches.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "client/model/area_tree.h"
#include "client/controls/sizing_bar.h"
#include "fw/scoped_gdi.h"

// The text of a tree view item.
std::string ItemText(HWND tree, HTREEITEM item);

class CDockDialog : public CSizingControlBar {
public:
    static constexpr UINT kTreeId = 1898;

    CDockDialog();

    // Called with every newly selected item.
    std::function<void(const tovan::AreaTreeSelection&)> onSelection;

    bool CreatePane(HWND frame, UINT id);
    // Replaces the tree's items with those of `root`.
    void Fill(const tovan::AreaTreeNode& root);
    const tovan::AreaTreeNode& root() const { return root_; }
    // Selects the item of `place` as the caret (its handler runs).
    void Select(const tovan::AreaTreePlace& place);
    HWND tree() const { return tree_; }
    void SetBackColor(COLORREF c);

protected:
    bool OnPaneMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void OnSelChanged(HTREEITEM item);
    void ShowSelection();

    HWND tree_ = nullptr;
    fw::gdi::Font font_;
    tovan::AreaTreeNode root_;
    std::vector<std::vector<HTREEITEM>> places_;  // per province, its children's items
};
