// An edit whose text can be read and selected with the mouse but not typed
// into, copied from or walked with the keyboard, and that has no context menu.
#pragma once

#include <windows.h>

#include "fw/window.h"

class CNoCopyEdit : public fw::Window {
public:
    // Consumes every key-down for the edit before it is translated, so no
    // character, shortcut or caret key reaches it; Esc and Enter close the
    // dialog (IDCANCEL, IDOK).
    bool PreTranslateMessage(MSG& msg) override;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};
