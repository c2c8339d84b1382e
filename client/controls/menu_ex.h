// A popup menu that owns its menu handle (the phrase popups).
#pragma once

#include <windows.h>

class CMenuEx {
public:
    CMenuEx() = default;
    ~CMenuEx() { DestroyMenu(); }
    CMenuEx(const CMenuEx&) = delete;
    CMenuEx& operator=(const CMenuEx&) = delete;

    HMENU handle() const { return menu_; }
    operator HMENU() const { return menu_; }

    bool CreatePopupMenu() {
        DestroyMenu();
        menu_ = ::CreatePopupMenu();
        return menu_ != nullptr;
    }
    bool AppendMenu(UINT flags, UINT_PTR id, const char* text) {
        return ::AppendMenuA(menu_, flags, id, text) != FALSE;
    }
    // TrackPopupMenu; with TPM_RETURNCMD the chosen id (0 for none).
    int TrackPopupMenu(UINT flags, int x, int y, HWND owner) {
        return static_cast<int>(::TrackPopupMenu(menu_, flags, x, y, 0, owner, nullptr));
    }
    void DestroyMenu() {
        if (menu_) ::DestroyMenu(menu_);
        menu_ = nullptr;
    }

private:
    HMENU menu_ = nullptr;
};
