// The close glyph of the web panes: a static that shows bitmap 196 in a
// round-cornered window region, with a hand cursor.
#pragma once

#include <windows.h>

#include "fw/window.h"

class CCloseBtn : public fw::Window {
protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};
