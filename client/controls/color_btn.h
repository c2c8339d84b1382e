// A colour swatch: a button that shows nothing but its colour and ignores
// mouse presses (no pressed look, no click). The owner sets color.
#pragma once

#include <windows.h>

#include "fw/window.h"

class CColorBtn : public fw::Window {
public:
    COLORREF color = 0;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};
