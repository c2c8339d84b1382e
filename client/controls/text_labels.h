// Static controls that draw their own window text: an underlined link label
// with a hand cursor, a bold blue link text and a red message line. A text
// set while they are shown is drawn in their own look too, not the static's.
#pragma once

#include <windows.h>

#include "fw/window.h"

// Underlined text in the control's own font with the weight, face and size
// below; the owner sets textColor before the control paints.
class CLabel : public fw::Window {
public:
    COLORREF textColor = 0;
    int fontWeight = 300;
    char faceName[32] = "Arial";
    int fontHeight = 12;
    int fontWidth = 6;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

// Bold, underlined blue text on one line; a hand cursor while the mouse moves over it.
class CLinkText : public fw::Window {
protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

// Red text on one line: a line break in the text does not start a second line.
class CRedText : public fw::Window {
protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};
